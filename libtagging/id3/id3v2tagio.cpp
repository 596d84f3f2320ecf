#include "libtagging/id3/id3v2tagio.h"

#include "libcore/log/exception.h"
#include "libcore/text/latin1textcodec.h"
#include "libcore/text/utf16betextcodec.h"
#include "libcore/text/utf16letextcodec.h"
#include "libcore/text/utf16textcodec.h"
#include "libcore/text/utf8textcodec.h"

#include <QtEndian>

namespace {
constexpr quint32 maxSynchsafe = 0x0FFFFFFF;
constexpr int maxFrameSize22 = 0xFFFFFF;

void appendUInt32(QByteArray &bytes, quint32 value)
{
    char buffer[4];
    qToBigEndian(value, buffer);
    bytes.append(buffer, 4);
}
} // namespace

int Id3v2TagIo::decodeSynchsafe(quint32 value)
{
    return int((value & 0x7F000000u) >> 3 | (value & 0x007F0000u) >> 2 | (value & 0x00007F00u) >> 1
               | (value & 0x0000007Fu));
}

quint32 Id3v2TagIo::encodeSynchsafe(int value)
{
    if (value < 0 || quint32(value) > maxSynchsafe)
        throw Exception(SizeTooLarge, {value});
    const quint32 v = quint32(value);
    return (v & 0x0FE00000u) << 3 | (v & 0x001FC000u) << 2 | (v & 0x00003F80u) << 1 | (v & 0x0000007Fu);
}

int Id3v2TagIo::decodeSizeField(quint32 value)
{
    return (value & 0x80808080u) ? int(value) : decodeSynchsafe(value);
}

void Id3v2TagIo::removeUnsynchronisation(QByteArray &data)
{
    const qsizetype n = data.size();
    qsizetype out = 0;
    char *bytes = data.data();
    for (qsizetype i = 0; i < n; ++i) {
        bytes[out++] = bytes[i];
        if (uchar(bytes[i]) == 0xFF && i + 1 < n && bytes[i + 1] == 0)
            ++i;
    }
    data.truncate(out);
}

bool Id3v2TagIo::applyUnsynchronisation(QByteArray &data)
{
    // A 0xFF needs a zero after it when the next byte could be read as a sync pattern, when
    // it is the last byte (the next frame or the audio could begin with one), and when a
    // zero already follows (so that removal restores it).
    const qsizetype n = data.size();
    auto needsZero = [&](qsizetype i) {
        return uchar(data[i]) == 0xFF && (i + 1 == n || data[i + 1] == 0 || uchar(data[i + 1]) >= 0xE0);
    };
    bool falseSync = false;
    for (qsizetype i = 0; i < n && !falseSync; ++i)
        falseSync = uchar(data[i]) == 0xFF && (i + 1 == n || uchar(data[i + 1]) >= 0xE0);
    if (!falseSync)
        return false;
    QByteArray result;
    result.reserve(n + n / 8 + 1);
    for (qsizetype i = 0; i < n; ++i) {
        result.append(data[i]);
        if (needsZero(i))
            result.append('\0');
    }
    const bool changed = result.size() != n;
    data = result;
    return changed;
}

QByteArray Id3v2TagIo::frameBytes(const QString &frameId, const QByteArray &data, const Id3v2Settings *settings,
                                  const Id3v2FrameFlags *flags)
{
    const int version = settings->version;
    if (version < 2 || version > 4)
        throw Exception(InvalidVersion, {version});
    const QString id = convertFrameId(frameId, version);
    if (id.isEmpty())
        return {};
    const Id3v2FrameFlags f = flags ? *flags : Id3v2FrameFlags();
    QByteArray frame = id.toLatin1();
    if (version == 2) {
        if (data.size() > maxFrameSize22)
            return {};
        const quint32 size = quint32(data.size());
        frame.append(char(size >> 16)).append(char(size >> 8)).append(char(size));
        return frame + data;
    }
    QByteArray extra;
    char status = 0;
    char format = 0;
    if (version == 3) {
        status = char((f.tagAlterPreservation ? 0x80 : 0) | (f.fileAlterPreservation ? 0x40 : 0)
                      | (f.readOnly ? 0x20 : 0));
        if (f.compression) {
            appendUInt32(extra, quint32(f.dataLength));
            format |= char(0x80);
        }
        if (f.encryption) {
            extra.append(char(f.encryptionMethod));
            format |= 0x40;
        }
        if (f.grouping) {
            extra.append(char(f.groupId));
            format |= 0x20;
        }
    } else {
        status = char((f.tagAlterPreservation ? 0x40 : 0) | (f.fileAlterPreservation ? 0x20 : 0)
                      | (f.readOnly ? 0x10 : 0));
        if (f.grouping) {
            extra.append(char(f.groupId));
            format = 0x40;
        }
        if (f.compression)
            format |= 0x08;
        if (f.encryption) {
            extra.append(char(f.encryptionMethod));
            format |= 0x04;
        }
        if (f.dataLengthIndicator) {
            appendUInt32(extra, encodeSynchsafe(f.dataLength));
            format |= 0x01;
        }
    }
    QByteArray body = extra + data;
    if (version == 4 && settings->useUnsync && applyUnsynchronisation(body))
        format |= 0x02;
    if (version == 3) {
        // Sizes of 2.3 are plain 32-bit numbers; a QByteArray cannot exceed them.
        appendUInt32(frame, quint32(body.size()));
    } else {
        if (body.size() > qsizetype(maxSynchsafe))
            throw Exception(SizeTooLarge, {qint64(body.size())});
        appendUInt32(frame, encodeSynchsafe(int(body.size())));
    }
    frame.append(status).append(format);
    return frame + body;
}

TextCodec *Id3v2TagIo::codecForEncodingByte(quint8 byte)
{
    switch (byte) {
    case 1:
        return Utf16TextCodec::instance();
    case 2:
        return Utf16BeTextCodec::instance();
    case 3:
        return Utf8TextCodec::instance();
    default:
        return Latin1TextCodec::instance();
    }
}

TextCodec *Id3v2TagIo::codecForTexts(const QStringList &texts, bool *withBom, const Id3v2Settings *settings)
{
    *withBom = false;
    const int option = settings->textEncoding;
    switch (option) {
    case 0:
        return Latin1TextCodec::instance();
    case 1:
        return Utf8TextCodec::instance();
    case 2:
        *withBom = true;
        return Utf16LeTextCodec::instance();
    case 3:
        *withBom = true;
        return Utf16BeTextCodec::instance();
    case 4:
    case 5:
    case 6:
        for (const QString &text : texts) {
            if (!Latin1TextCodec::instance()->canEncode(text)) {
                if (option == 4)
                    return Utf8TextCodec::instance();
                *withBom = true;
                if (option == 5)
                    return Utf16LeTextCodec::instance();
                return Utf16BeTextCodec::instance();
            }
        }
        return Latin1TextCodec::instance();
    default:
        throw Exception(InvalidTextEncoding, {option});
    }
}

TextCodec *Id3v2TagIo::codecForText(const QString &text, bool *withBom, const Id3v2Settings *settings)
{
    return codecForTexts(QStringList{text}, withBom, settings);
}

TextCodec *Id3v2TagIo::latin1OrUtf8Codec(const QStringList &texts)
{
    for (const QString &text : texts) {
        if (!Latin1TextCodec::instance()->canEncode(text))
            return Utf8TextCodec::instance();
    }
    return Latin1TextCodec::instance();
}

QString Id3v2TagIo::fileTypeFromCode(const QString &code)
{
    static const struct {
        const char *code;
        const char *text;
    } types[] = {{"MPG", "MPEG"},        {"MPG/1", "MP1"}, {"MPG/2", "MP2"},     {"MPG/3", "MP3"},
                 {"MPG/2.5", "MPEG-2.5"}, {"AAC", "AAC"},   {"MPG/AAC", "AAC"}};
    for (const auto &type : types) {
        if (code == QLatin1String(type.code))
            return QString::fromLatin1(type.text);
    }
    return code;
}

QString Id3v2TagIo::mediaTypeFromCode(const QString &code)
{
    static const struct {
        const char *code;
        const char *text;
    } types[] = {{"DIG", "Digital media"}, {"ANA", "Analog media"}, {"CD", "CD"},
                 {"LD", "Laserdisc"},      {"TT", "Vinyl"},          {"MD", "MiniDisc"},
                 {"DAT", "Digital Audio Tape"}, {"DCC", "Digital Compact Cassette"},
                 {"DVD", "DVD"},           {"TV", "Television"},     {"VID", "Video"},
                 {"RAD", "Radio"},         {"TEL", "Telephone"},     {"MC", "Cassette"},
                 {"REE", "Reel"}};
    // The refinement after the slash (CD/A, TT/33) is dropped.
    for (const auto &type : types) {
        const QLatin1String c(type.code);
        if (code == c || (code.startsWith(c) && code.size() > c.size() && code.at(c.size()) == u'/'))
            return QString::fromLatin1(type.text);
    }
    return code;
}
