#include "libtagging/plain/streamcontentcheck.h"

#include <QByteArray>

#include <iterator>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/text/texttable.h"
#include "libtagging/model/filetype.h"
#include "libtagging/model/icodecio.h"
#include "libtagging/plain/freestreamio.h"
#include "libtagging/plain/freestreamtagmanager.h"
#include "libtagging/plain/mpegcodecio.h"

namespace {

// File type ids of the formats told apart here.
enum Format {
    NoFormat = 0,
    MpegAudio = 1,
    Ogg = 2,
    Flac = 3,
    Asf = 5,
    Mp4 = 6,
    MonkeysAudio = 7,
    Musepack = 8,
    WavPack = 9,
    OptimFrog = 10,
    Tak = 11,
    TrueAudio = 12,
    Riff = 13,
    Aiff = 14,
    Aac = 16,
    Text = -1, // no file type: only named in messages
};

const quint32 OggName = 0xDF2E62DB;
const quint32 TextName = 0x84D864A7;

// How far into the audio a frame is looked for, as the MPEG reader searches.
constexpr qint64 frameSearchLimit = 0x4000;

struct Signature
{
    int offset;
    QByteArrayView bytes;
    Format format;
};

const Signature signatures[] = {
    {4, "ftyp", Mp4},
    {0, "RIFF", Riff},
    {0, "RIFX", Riff},
    {0, "FORM", Aiff},
    {0, "OggS", Ogg},
    {0, "fLaC", Flac},
    {0, QByteArrayView("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16), Asf},
    {0, "MAC ", MonkeysAudio},
    {0, "MPCK", Musepack},
    {0, "MP+", Musepack},
    {0, "wvpk", WavPack},
    {0, "OFR ", OptimFrog},
    {0, "tBaK", Tak},
    {0, "TTA1", TrueAudio},
    {0, "ADIF", Aac},
};

// The first bytes of the range, as many as the longest signature needs.
QByteArray head(IoStream *stream, qint64 start, qint64 end, qint64 count = 20)
{
    end = qMin(end, stream->size());
    if (start < 0 || start >= end)
        return QByteArray();
    return stream->readBytesAt(start, qMin(count, end - start));
}

Format signatureIn(const QByteArray &bytes)
{
    for (const Signature &signature : signatures) {
        if (bytes.size() >= signature.offset + signature.bytes.size()
            && QByteArrayView(bytes).sliced(signature.offset, signature.bytes.size()) == signature.bytes)
            return signature.format;
    }
    return NoFormat;
}

// An ADTS header at b: its frame length, or 0 when the bytes are none.
int adtsFrameLength(const uchar *b)
{
    if (b[0] != 0xFF || (b[1] & 0xF6) != 0xF0 || ((b[2] >> 2) & 15) > 12)
        return 0;
    const int length = ((b[3] & 3) << 11) | (b[4] << 3) | (b[5] >> 5);
    return length >= 7 ? length : 0;
}

// An ADTS frame at pos whose successor agrees in version, profile, sample rate and
// channels, or which ends the range.
bool isConfirmedAdtsFrame(IoStream *stream, qint64 pos, qint64 end)
{
    const QByteArray first = head(stream, pos, end, 7);
    if (first.size() < 7)
        return false;
    const auto *b = reinterpret_cast<const uchar *>(first.constData());
    const int length = adtsFrameLength(b);
    if (length == 0)
        return false;
    const qint64 next = pos + length;
    if (next <= end && next + 7 > end)
        return true;
    const QByteArray second = head(stream, next, end, 7);
    if (second.size() < 7)
        return false;
    const auto *n = reinterpret_cast<const uchar *>(second.constData());
    return adtsFrameLength(n) != 0 && (n[1] & 0x08) == (b[1] & 0x08) && (n[2] & 0xFD) == (b[2] & 0xFD)
           && (n[3] >> 6) == (b[3] >> 6);
}

// An AAC stream: ADIF, or an ADTS frame that the next one confirms near the start.
bool hasAacStream(IoStream *stream, qint64 start, qint64 end)
{
    const QByteArray bytes = head(stream, start, end, frameSearchLimit);
    if (bytes.startsWith("ADIF"))
        return true;
    for (qsizetype i = 0; i + 7 <= bytes.size(); ++i) {
        if (uchar(bytes[i]) == 0xFF && isConfirmedAdtsFrame(stream, start + i, end))
            return true;
    }
    return false;
}

// Printable text in an ASCII-compatible encoding, as a note or a playlist saved under an
// audio suffix is.
bool looksLikeText(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return false;
    for (const char c : bytes) {
        const uchar u = uchar(c);
        const bool printable = (u >= 0x20 && u != 0x7F && u < 0xF5) || (u >= 0x09 && u <= 0x0D);
        if (!printable)
            return false;
    }
    return true;
}

bool isPlainType(const FileType *type)
{
    return type->streamIos == QList<IAudioStreamIo *>{FreeStreamIo::instance()};
}

// Whether a file of the type may hold the format: its own, or a container it is read
// through (Ogg for FLAC and Speex). A stream without a type may be of any plain codec.
bool holds(const FileType *type, int format)
{
    const FileType *found = FileType::byId(format);
    if (!found)
        return true;
    if (!type)
        return isPlainType(found);
    if (format == type->id)
        return true;
    for (IAudioStreamIo *io : found->streamIos) {
        if (io != FreeStreamIo::instance() && type->streamIos.contains(io))
            return true;
    }
    return false;
}

QString formatName(int format)
{
    if (format == Ogg)
        return textForId(OggName);
    if (format == Text)
        return textForId(TextName);
    return FileType::typeName(format);
}

[[noreturn]] void throwOtherFormat(IoStream *stream, const FileType *type, int format)
{
    throw Exception(StreamContentCheck::OtherFormat,
                    {stream->displayName(), FileType::typeName(type ? type->id : 0), formatName(format)});
}

// A valid stream of the type's codec within the range; true for types with nothing to check.
bool hasCodecStream(IoStream *stream, const FileType *type, qint64 start, qint64 end)
{
    if (start >= end)
        return false;
    try {
        stream->seek(start);
        if (type->id == MpegAudio) {
            MpegCodecIo::findFirstFrame(stream, qMin(frameSearchLimit, end - start), end);
            return true;
        }
        if (type->id == Aac)
            return hasAacStream(stream, start, end);
        if (type->codecIo)
            type->codecIo->readAudioProperties(stream, end - start);
        return true;
    } catch (const Exception &) {
        return false;
    }
}

} // namespace

int StreamContentCheck::formatAt(IoStream *stream, qint64 start, qint64 end)
{
    end = qMin(end, stream->size());
    const Format signature = signatureIn(head(stream, start, end));
    if (signature != NoFormat)
        return signature;
    if (MpegCodecIo::isConfirmedFrame(stream, start, end))
        return MpegAudio;
    if (isConfirmedAdtsFrame(stream, start, end))
        return Aac;
    return NoFormat;
}

void StreamContentCheck::checkSignature(IoStream *stream, const FileType *type, qint64 start, qint64 end)
{
    const Format format = signatureIn(head(stream, start, end));
    if (format != NoFormat && !holds(type, format))
        throwOtherFormat(stream, type, format);
}

void StreamContentCheck::checkPlainStream(IoStream *stream, const FileType *type, qint64 start, qint64 end)
{
    if (stream->size() == 0)
        throw Exception(EmptyFile, {stream->displayName()});
    end = qMin(end, stream->size());
    checkSignature(stream, type, start, end);
    if (!type || hasCodecStream(stream, type, start, end))
        return;
    // Say what the content is, where it can be told.
    const int format = formatAt(stream, start, end);
    if (format != NoFormat && !holds(type, format))
        throwOtherFormat(stream, type, format);
    if (looksLikeText(head(stream, start, end, 512)))
        throwOtherFormat(stream, type, Text);
    throw Exception(NoValidStream, {stream->displayName(), FileType::typeName(type->id)});
}

void StreamContentCheck::check(IoStream *stream, const FileType *type)
{
    if (stream->size() == 0)
        throw Exception(EmptyFile, {stream->displayName()});
    const auto [start, end] = FreeStreamTagManager(stream).audioRange();
    if (!type || isPlainType(type)) {
        checkPlainStream(stream, type, start, end);
        return;
    }
    // A container that does not begin like another format is left to its reader.
    const int format = formatAt(stream, start, stream->size());
    if (format != NoFormat && !holds(type, format))
        throwOtherFormat(stream, type, format);
}
