#include "libcore/text/latin1textcodec.h"

#include <algorithm>

#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/codepointiterator.h"

namespace {
constexpr quint32 EncodeSubstituted = 3166407768;
constexpr quint32 EncodeFailed = 3975512898;
constexpr quint32 DecodeSubstituted = 3834884178;
constexpr quint32 DecodeFailed = 551212856;
} // namespace

Latin1TextCodec *Latin1TextCodec::instance()
{
    static Latin1TextCodec *const codec = new Latin1TextCodec;
    return codec;
}

// The loops ask the actual codec what it can encode and decode, so US-ASCII shares them.
QByteArray Latin1TextCodec::encodeText(const QString &text, int maxBytes, int errorMode) const
{
    if (maxBytes < 0)
        maxBytes = -1;
    QByteArray result;
    const qsizetype expected = 2 * qsizetype(text.size());
    result.reserve(std::max<qsizetype>(0, maxBytes == -1 ? expected : std::min<qsizetype>(maxBytes, expected)));
    bool warned = false;
    CodePointIterator it(text);
    while (it.position < text.size() && (maxBytes == -1 || result.size() < maxBytes)) {
        const CodePoint codePoint = it.next();
        if (canEncodeCodePoint(codePoint)) {
            result.append(char(quint8(codePoint.value())));
        } else if (errorMode == CodecErrorMode::Throw) {
            throw Exception(EncodeFailed, {text, name(), mib()});
        } else if (errorMode == CodecErrorMode::Substitute) {
            result.append(char(quint8(replacementCharacter().value())));
            if (!warned) {
                Logger::warning(EncodeSubstituted, {text, name(), mib()});
                warned = true;
            }
        }
    }
    return result;
}

QString Latin1TextCodec::decodeText(const QByteArray &data, bool stopAtNul, int errorMode) const
{
    // Bytes below 0x80 decode to themselves in ISO 8859-1 and US-ASCII alike: a text of
    // them, most tag text, is one widening copy. From the first other byte on the actual
    // codec is asked byte by byte.
    const auto *const bytes = reinterpret_cast<const uchar *>(data.constData());
    const qsizetype size = data.size();
    qsizetype i = asciiPrefix(data, stopAtNul);
    if (i == size || bytes[i] == 0)
        return QString::fromLatin1(data.constData(), i);

    QString result(size, Qt::Uninitialized);
    char16_t *const out = reinterpret_cast<char16_t *>(result.data());
    for (qsizetype k = 0; k < i; ++k)
        out[k] = bytes[k];
    qsizetype length = i;
    bool warned = false;
    for (; i < size; ++i) {
        if (bytes[i] >= 0x80 && !canDecodeAt(data, int(i))) {
            decodeFailure(data, errorMode, DecodeFailed, DecodeSubstituted, out, length, warned);
            continue;
        }
        if (stopAtNul && bytes[i] == 0)
            break;
        out[length++] = bytes[i];
    }
    result.truncate(length);
    return result;
}

QByteArray Latin1TextCodec::bom() const
{
    return QByteArray();
}

QByteArray Latin1TextCodec::terminator() const
{
    return QByteArrayLiteral("\x00");
}

int Latin1TextCodec::unitSize() const
{
    return 1;
}

int Latin1TextCodec::mib() const
{
    return 4;
}

QString Latin1TextCodec::name() const
{
    return QStringLiteral("ISO 8859-1");
}

bool Latin1TextCodec::canDecode(const QByteArray &data) const
{
    // Only bytes from 0x80 on can be refused, and only by US-ASCII.
    for (int i = 0; i < data.size(); ++i) {
        if (quint8(data.at(i)) >= 0x80 && !canDecodeAt(data, i))
            return false;
    }
    return true;
}

bool Latin1TextCodec::canDecodeAt(const QByteArray &data, int position) const
{
    return position >= 0 && position < data.size();
}

bool Latin1TextCodec::canEncodeCodePoint(CodePoint codePoint) const
{
    return codePoint.value() < 256;
}
