#pragma once

#include "libcore/text/utf32textcodec.h"

// UTF-32 in big-endian byte order, whatever the data says.
class Utf32BeTextCodec : public Utf32TextCodec
{
public:
    static Utf32BeTextCodec *instance();

    int mib() const override;
    QString name() const override;
    bool isBigEndian(const QByteArray &data) const override;
    bool encodesBigEndian() const override;

protected:
    Utf32BeTextCodec() = default;
};
