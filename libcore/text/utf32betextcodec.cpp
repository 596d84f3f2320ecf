#include "libcore/text/utf32betextcodec.h"

Utf32BeTextCodec *Utf32BeTextCodec::instance()
{
    static Utf32BeTextCodec *const codec = new Utf32BeTextCodec;
    return codec;
}

int Utf32BeTextCodec::mib() const
{
    return 1018;
}

QString Utf32BeTextCodec::name() const
{
    return QStringLiteral("UTF-32BE");
}

bool Utf32BeTextCodec::isBigEndian(const QByteArray &) const
{
    return true;
}

bool Utf32BeTextCodec::encodesBigEndian() const
{
    return true;
}
