#pragma once

#include <QByteArray>
#include <QString>

#include "libcore/text/codepoint.h"

// How a conversion treats a character it cannot encode or bytes it cannot decode.
// Conversions take it as a plain int.
namespace CodecErrorMode {
enum : int {
    Skip = 0,       // dropped, the conversion goes on
    Substitute = 1, // the replacement character takes its place; one warning per call
    Throw = 2,      // the conversion stops with a logged Exception
};
}

// The one interface through which text becomes bytes and back. Every codec is a
// process-wide singleton, created on first use, never deleted and compared by pointer.
class TextCodec
{
public:
    // The text encoded without byte order mark or terminator. maxBytes -1 (no limit) or
    // the budget: encoding stops before the first character that would not fit whole.
    virtual QByteArray encodeText(const QString &text, int maxBytes, int errorMode) const = 0;
    // With stopAtNul decoding ends at the first decoded U+0000, which is left out.
    virtual QString decodeText(const QByteArray &data, bool stopAtNul, int errorMode) const = 0;

protected:
    virtual ~TextCodec();

    // How many leading bytes are below 0x80 (up to a zero byte when stopAtNul): the part that
    // decodes to itself in every single-byte and UTF-8 codec.
    static qsizetype asciiPrefix(const QByteArray &data, bool stopAtNul);
    // A character that cannot be decoded, by the error mode: throws failedId, or appends the
    // replacement character to out (warning substitutedId once per text, as warned tells),
    // or leaves it out.
    void decodeFailure(const QByteArray &data, int errorMode, quint32 failedId, quint32 substitutedId,
                       char16_t *out, qsizetype &length, bool &warned) const;

public:
    virtual QByteArray bom() const = 0;
    virtual QByteArray terminator() const = 0;
    virtual int unitSize() const = 0;
    virtual int mib() const = 0;
    virtual QString name() const = 0;
    virtual bool canDecode(const QByteArray &data) const = 0;
    virtual bool canDecodeAt(const QByteArray &data, int position) const = 0;
    virtual bool canEncodeCodePoint(CodePoint codePoint) const = 0;

    // Mark, text cut to maxSize less mark and terminator, terminator, zero bytes up to
    // fixedSize. -1 (any negative value) leaves fixedSize or maxSize out.
    QByteArray encode(const QString &text, int fixedSize, int maxSize, bool withBom,
                      bool withTerminator, int errorMode) const;
    // Unlimited, no mark or terminator, unencodable characters skipped; empty on an exception.
    QByteArray encodeOrEmpty(const QString &text) const;
    // Decodes the first maxLength bytes (all when maxLength is negative or not below the size).
    QString decode(const QByteArray &data, int maxLength, bool stopAtNul, int errorMode) const;
    // Decodes everything, undecodable units skipped; a null string on an exception.
    QString decodeOrNull(const QByteArray &data) const;
    bool canEncode(const QString &text) const;

    // The character that Substitute mode puts in place of what cannot be converted;
    // U+0000 until changed. Only values below 128 are taken, so that every codec can write it.
    static void setReplacementCharacter(CodePoint codePoint);
    static CodePoint replacementCharacter();

    // Guesses the byte order of UTF-16 (mib 1015) or UTF-32 (mib 1017) data from the
    // statistics of both readings: the MIB of the fixed-order codec that wins, or 0.
    static int detectByteOrder(const QByteArray &data, int mib);

    // The registry. Only the system's own codecs exist; an unknown MIB or name gives null.
    static TextCodec *codecForMib(int mib);
    static TextCodec *codecForLocale();
    static TextCodec *codecForName(const QString &name);
    static QString displayName(int mib);
    // The codec for bytes that come without an encoding; never null.
    static TextCodec *detect(const QByteArray &data);
    // detect for a fixed-width field of single bytes read up to its first zero byte. Such a
    // field cannot hold UTF-16 or UTF-32 text of any length, so where detect would guess
    // them from statistics (control characters among accented letters read much like
    // UTF-16), the field stays single-byte; only a byte order mark still selects them.
    static TextCodec *detectFixedField(const QByteArray &data);
    // Whether bytes holding the text read back as that text where their encoding is guessed
    // (detect, or detectFixedField for a fixed-width field): writers of fields without a mark
    // of their encoding keep a single-byte encoding only where the guess recognises it.
    static bool guessReadsBack(const QByteArray &bytes, const QString &text, bool fixedField = false);
    // Qt 6 reads every 8-bit literal as UTF-8 already; kept so start-up code has one place to call.
    static void useUtf8ForCStrings();
};
