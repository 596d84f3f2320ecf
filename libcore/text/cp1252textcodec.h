#pragma once

#include "libcore/text/textcodec.h"

// windows-1252. The five bytes the code page leaves undefined (81, 8D, 8F, 90, 9D) stand
// for the C1 controls of the same value, so every byte decodes and those round-trip;
// that is what makes this codec the last resort of encoding detection.
class Cp1252TextCodec : public TextCodec
{
public:
    static Cp1252TextCodec *instance();

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

    // The code point of one byte, and the byte of a code point (-1 when it has none).
    static quint32 codePointOf(quint8 byte);
    static int byteOf(quint32 codePoint);

protected:
    Cp1252TextCodec() = default;
};
