#pragma once

#include "libcore/text/textcodec.h"

// Base of the Unicode codecs: the encoding, decoding and decodability loops, written over
// per-encoding operations on one code point and one code unit.
class UtfTextCodec : public TextCodec
{
public:
    QByteArray encodeText(const QString &text, int maxBytes, int errorMode) const override;
    QString decodeText(const QByteArray &data, bool stopAtNul, int errorMode) const override;
    bool canDecode(const QByteArray &data) const override;
    bool canDecodeAt(const QByteArray &data, int position) const override;
    bool canEncodeCodePoint(CodePoint codePoint) const override;

    // The byte order in which this data is read, and the one in which this codec writes.
    virtual bool isBigEndian(const QByteArray &data) const = 0;
    virtual bool encodesBigEndian() const = 0;
    // Decodes one character and moves position past it; on failure throws and leaves
    // position alone. With reportErrors the Exception carries the failure's id and logs
    // itself; without, it is a silent code 0 that only unwinds to the caller.
    virtual CodePoint decodeCodePoint(const QByteArray &data, int &position, bool bigEndian,
                                      bool reportErrors) const;
    virtual quint32 readUnit(const QByteArray &data, int &position, bool bigEndian,
                             bool reportErrors) const = 0;
    // Appends the code point's units, or nothing and false when out would grow past
    // maxBytes (-1: no limit).
    virtual bool encodeCodePoint(QByteArray &out, CodePoint codePoint, bool bigEndian,
                                 int maxBytes) const = 0;
    virtual void appendUnit(QByteArray &out, quint32 unit, bool bigEndian) const = 0;

    // Where and why one character failed to decode.
    struct Failure
    {
        quint32 code = 0;
        int position = 0;
    };
    // decodeCodePoint without the Exception: false and the failure, position unchanged.
    // Trial decodings and detection ask this way, so a misfit costs no unwinding.
    virtual bool scanCodePoint(const QByteArray &data, int &position, bool bigEndian,
                               CodePoint &codePoint, Failure &failure) const = 0;

protected:
    UtfTextCodec() = default;

    // The Exception of a failure at position: coded and logged, or silent.
    [[noreturn]] void fail(quint32 code, const QByteArray &data, int position,
                           bool reportErrors) const;
    static bool fits(const QByteArray &out, int length, int maxBytes);
};
