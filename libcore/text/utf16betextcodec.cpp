#include "libcore/text/utf16betextcodec.h"

Utf16BeTextCodec *Utf16BeTextCodec::instance()
{
    static Utf16BeTextCodec *const codec = new Utf16BeTextCodec;
    return codec;
}

int Utf16BeTextCodec::mib() const
{
    return 1013;
}

QString Utf16BeTextCodec::name() const
{
    return QStringLiteral("UTF-16BE");
}

bool Utf16BeTextCodec::isBigEndian(const QByteArray &) const
{
    return true;
}

bool Utf16BeTextCodec::encodesBigEndian() const
{
    return true;
}
