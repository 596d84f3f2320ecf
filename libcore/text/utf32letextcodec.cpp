#include "libcore/text/utf32letextcodec.h"

Utf32LeTextCodec *Utf32LeTextCodec::instance()
{
    static Utf32LeTextCodec *const codec = new Utf32LeTextCodec;
    return codec;
}

int Utf32LeTextCodec::mib() const
{
    return 1019;
}

QString Utf32LeTextCodec::name() const
{
    return QStringLiteral("UTF-32LE");
}

bool Utf32LeTextCodec::isBigEndian(const QByteArray &) const
{
    return false;
}

bool Utf32LeTextCodec::encodesBigEndian() const
{
    return false;
}
