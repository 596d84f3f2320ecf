#include "libcore/text/utf16letextcodec.h"

Utf16LeTextCodec *Utf16LeTextCodec::instance()
{
    static Utf16LeTextCodec *const codec = new Utf16LeTextCodec;
    return codec;
}

int Utf16LeTextCodec::mib() const
{
    return 1014;
}

QString Utf16LeTextCodec::name() const
{
    return QStringLiteral("UTF-16LE");
}

bool Utf16LeTextCodec::isBigEndian(const QByteArray &) const
{
    return false;
}

bool Utf16LeTextCodec::encodesBigEndian() const
{
    return false;
}
