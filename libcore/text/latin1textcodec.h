#pragma once

#include "libcore/text/textcodec.h"

// ISO 8859-1: every byte is the code point of the same value.
class Latin1TextCodec : public TextCodec
{
public:
    static Latin1TextCodec *instance();

    QByteArray encodeText(const QString &text, int maxBytes, int errorMode) const override;
    QString decodeText(const QByteArray &data, bool stopAtNul, int errorMode) const override;
    QByteArray bom() const override;
    QByteArray terminator() const override;
    int unitSize() const override;
    int mib() const override;
    QString name() const override;
    bool canDecode(const QByteArray &data) const override;
    bool canDecodeAt(const QByteArray &data, int position) const override;
    bool canEncodeCodePoint(CodePoint codePoint) const override;

protected:
    Latin1TextCodec() = default;
};
