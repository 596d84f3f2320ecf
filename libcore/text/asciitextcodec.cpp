#include "libcore/text/asciitextcodec.h"

AsciiTextCodec *AsciiTextCodec::instance()
{
    static AsciiTextCodec *const codec = new AsciiTextCodec;
    return codec;
}

int AsciiTextCodec::mib() const
{
    return 3;
}

QString AsciiTextCodec::name() const
{
    return QStringLiteral("US-ASCII");
}

bool AsciiTextCodec::canDecodeAt(const QByteArray &data, int position) const
{
    return position >= 0 && position < data.size() && quint8(data.at(position)) < 0x80;
}

bool AsciiTextCodec::canEncodeCodePoint(CodePoint codePoint) const
{
    return codePoint.value() < 128;
}
