#pragma once

#include "libcore/text/utf16textcodec.h"

// UTF-16 in little-endian byte order, whatever the data says.
class Utf16LeTextCodec : public Utf16TextCodec
{
public:
    static Utf16LeTextCodec *instance();

    int mib() const override;
    QString name() const override;
    bool isBigEndian(const QByteArray &data) const override;
    bool encodesBigEndian() const override;

protected:
    Utf16LeTextCodec() = default;
};
