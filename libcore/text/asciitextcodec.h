#pragma once

#include "libcore/text/latin1textcodec.h"

// US-ASCII: the ISO 8859-1 loops restricted to code points and bytes below 128.
class AsciiTextCodec : public Latin1TextCodec
{
public:
    static AsciiTextCodec *instance();

    int mib() const override;
    QString name() const override;
    bool canDecodeAt(const QByteArray &data, int position) const override;
    bool canEncodeCodePoint(CodePoint codePoint) const override;

protected:
    AsciiTextCodec() = default;
};
