#include "libtagging/xiph/oggstreamio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/model/ioggaudiostreamio.h"
#include "libtagging/xiph/flacstreamio.h"
#include "libtagging/xiph/oggpage.h"
#include "libtagging/xiph/opusstreamio.h"
#include "libtagging/xiph/speexstreamio.h"
#include "libtagging/xiph/vorbiscommenttagio.h"
#include "libtagging/xiph/vorbisstreamio.h"

#include <QtEndian>

#include <climits>

namespace {

bool handlesVorbisComments(const QList<int> &tagTypes)
{
    return tagTypes.isEmpty() || tagTypes.contains(TagType::VorbisComment);
}

QList<IOggAudioStreamIo *> codecs()
{
    return {OpusStreamIo::instance(), VorbisStreamIo::instance(), FlacStreamIo::instance(),
            SpeexStreamIo::instance()};
}

// The codec's header: every page from the reading position through the header's end,
// and the packets of the chosen logical stream.
struct Header
{
    IOggAudioStreamIo *codec = nullptr;
    quint32 serial = 0;
    QList<OggPage *> pages;
    QList<OggPage *> serialPages;
    QList<QByteArray> packets;
    qint64 end = 0;
};

Header readHeader(IoStream *stream, QObject *parent)
{
    Header header;
    const qint64 start = stream->pos();
    header.codec = OggStreamIo::detectCodec(stream, &header.serial);
    stream->seek(start);
    header.pages = OggStreamIo::collectPages(stream, header.codec, header.serial, parent);
    header.end = stream->pos();
    header.serialPages = OggStreamIo::pagesOfSerial(header.pages, header.serial);
    header.packets = OggStreamIo::packetsFromPages(header.serialPages);
    return header;
}

QByteArray lacingOf(const QByteArray &packet)
{
    QByteArray lacing(packet.size() / 255, char(255));
    lacing.append(char(packet.size() % 255));
    return lacing;
}

// Where the pages of the serial after the header stand. Every page header up to the end is
// checked before anything is written; a page that cannot be read ends the walk, and the
// bytes from there on stay as they are.
QList<qint64> laterPagesOfSerial(IoStream *stream, qint64 from, quint32 serial)
{
    QList<qint64> offsets;
    QObject scratch;
    stream->seek(from);
    while (stream->pos() < stream->size()) {
        const qint64 at = stream->pos();
        OggPage *page = nullptr;
        try {
            page = OggPage::read(stream, &scratch);
        } catch (Exception &) {
            Logger::warning(OggStreamIo::UnreadableTail, {stream->displayName(), at});
            break;
        }
        if (page->serialNumber == serial)
            offsets.append(at);
        stream->seek(page->endOffset());
        delete page;
    }
    return offsets;
}

// The packets that end on the page, less one continued from an earlier page.
QList<QByteArray> completedPackets(const OggPage *page)
{
    QList<QByteArray> packets;
    bool skip = page->isContinued();
    qsizetype position = 0;
    qsizetype length = 0;
    for (const char value : page->segmentTable) {
        length += quint8(value);
        if (quint8(value) == 255)
            continue;
        if (!skip && position + length <= page->data.size())
            packets.append(page->data.mid(position, length));
        skip = false;
        position += length;
        length = 0;
    }
    return packets;
}

// The 48 kHz samples an Opus packet decodes to, from its table-of-contents byte.
qint64 opusPacketSamples(const QByteArray &packet)
{
    if (packet.isEmpty())
        return 0;
    const quint8 toc = quint8(packet.at(0));
    const int config = toc >> 3;
    static const int silk[] = {480, 960, 1920, 2880};
    static const int hybrid[] = {480, 960};
    static const int celt[] = {120, 240, 480, 960};
    const int frameSamples = config < 12 ? silk[config % 4] : config < 16 ? hybrid[config % 2] : celt[config % 4];
    int frames = 1;
    switch (toc & 3) {
    case 0:
        frames = 1;
        break;
    case 1:
    case 2:
        frames = 2;
        break;
    default:
        frames = packet.size() >= 2 ? quint8(packet.at(1)) & 0x3F : 0;
        break;
    }
    return qint64(frames) * frameSamples;
}

// Where the playing time begins on the granule scale: 0 for a stream that starts there,
// later for one cut out of a longer stream, whose first audio page stands at a position
// beyond what its packets decode. Opus packets say their length; for Vorbis, whose lengths
// only the setup header tells, a page that holds more than its packets could decode at the
// long block size gives an estimate within a page.
qint64 playingStart(IOggAudioStreamIo *codec, const QList<QByteArray> &headerPackets, const OggPage *firstPage)
{
    const QList<QByteArray> packets = completedPackets(firstPage);
    const qint64 first = firstPage->granulePosition;
    if (firstPage->isContinued() || packets.isEmpty() || first <= 0)
        return 0;
    if (codec == OpusStreamIo::instance()) {
        qint64 samples = 0;
        for (const QByteArray &packet : packets)
            samples += opusPacketSamples(packet);
        return qMax<qint64>(0, first - samples);
    }
    if (codec == VorbisStreamIo::instance() && !headerPackets.isEmpty() && headerPackets.first().size() > 28) {
        const quint8 sizes = quint8(headerPackets.first().at(28));
        const qint64 shortBlock = qint64(1) << (sizes & 0x0F);
        const qint64 longBlock = qint64(1) << (sizes >> 4);
        // The first audio packet of a stream only primes the decoder.
        const qint64 decoded = packets.size() - 1;
        if (first <= decoded * longBlock / 2)
            return 0;
        return first - decoded * (shortBlock + longBlock) / 4;
    }
    return 0;
}

// The pages as they go to the file: pages of other streams are copied as they stand.
QByteArray serializePages(IoStream *stream, const QList<OggPage *> &pages)
{
    QByteArray bytes;
    for (const OggPage *page : pages) {
        if (page->offset >= 0)
            bytes += stream->readBytesAt(page->offset, page->headerSize + page->dataSize);
        else
            bytes += page->render();
    }
    return bytes;
}

void renumberPage(IoStream *stream, qint64 at, quint32 sequence)
{
    QObject scratch;
    stream->seek(at);
    OggPage *page = OggPage::read(stream, &scratch);
    page->readData(stream);
    page->sequenceNumber = sequence;
    stream->writeBytesAt(at, page->render());
}

} // namespace

OggStreamIo *OggStreamIo::instance()
{
    static OggStreamIo *const io = new OggStreamIo();
    return io;
}

QList<AudioTag *> OggStreamIo::readTags(IoStream *stream, const QList<int> &tagTypes,
                                        const TaggingSettings *settings, QObject *parent)
{
    if (!handlesVorbisComments(tagTypes))
        return {};
    QObject scratch;
    const Header header = readHeader(stream, &scratch);
    return header.codec->readTags(stream, header.packets, tagTypes, settings, parent);
}

void OggStreamIo::writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                            const TaggingSettings *settings)
{
    if (!handlesVorbisComments(tagTypes))
        return;
    QObject scratch;
    Header header = readHeader(stream, &scratch);
    if (header.serialPages.isEmpty())
        throw Exception(NoKnownCodec, {stream->displayName()});
    // The identification packet goes first onto the new pages: without its magic the
    // stream would no longer be known.
    if (header.packets.isEmpty() || !header.packets.first().startsWith(header.codec->magic()))
        throw Exception(NoKnownCodec, {stream->displayName()});
    header.codec->writeTags(stream, header.packets, tag, tagTypes, settings);
    if (header.packets.isEmpty())
        throw Exception(NoKnownCodec, {stream->displayName()});

    // The identification packet keeps a page of its own, the beginning-of-stream page.
    QList<OggPage *> newPages = pagesFromPackets({header.packets.first()}, header.serial, 0, 1, &scratch);
    // FLAC readers expect every metadata block to begin a page, as FLAC's own tools write them.
    newPages += pagesFromPackets(header.packets.mid(1), header.serial, 1, int(header.serialPages.size()) - 1,
                                 &scratch, header.codec == FlacStreamIo::instance());
    const QList<OggPage *> merged = mergePages(header.serial, header.pages, newPages, &scratch);

    checkSequenceNumbers(stream, header.pages, merged);
    if (merged.size() > header.pages.size())
        rewriteStream(stream, header.serial, header.pages, merged);
    else
        replacePages(stream, header.pages, merged);
}

void OggStreamIo::removeTags(IoStream *stream, const QList<int> &tagTypes, const TaggingSettings *settings)
{
    writeTags(stream, nullptr, tagTypes, settings);
}

AudioProperties OggStreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    QObject scratch;
    const qint64 start = stream->pos();
    quint32 serial = 0;
    IOggAudioStreamIo *codec = detectCodec(stream, &serial);
    stream->seek(start);
    const QList<QByteArray> packets = packetsFromPages(headerPages(stream, codec, serial, &scratch));
    const qint64 headerEnd = stream->pos();
    const qint64 size = stream->size();
    AudioProperties properties = codec->readAudioProperties(packets, size, size - headerEnd);
    if (properties.duration == 0) {
        // A damaged page costs the duration, not the other properties.
        double milliseconds = 0;
        qint64 first = 0;
        qint64 start = 0;
        try {
            if (const OggPage *page = firstGranulePage(stream, headerEnd, serial, &scratch)) {
                first = page->granulePosition;
                start = playingStart(codec, packets, page);
            }
        } catch (Exception &) {
        }
        try {
            const qint64 last = lastGranulePosition(stream, serial, headerEnd);
            // A last position before the first is no end of this stream: no duration then.
            if (last < first)
                throw Exception::quiet();
            if (codec == OpusStreamIo::instance()) {
                // Opus counts 48 kHz samples whatever the input rate, and the pre-skip is
                // not played.
                const QByteArray &head = packets.value(0);
                const qint64 preSkip = head.size() >= 12 ? qFromLittleEndian<quint16>(head.constData() + 10) : 0;
                if (last - start > preSkip)
                    milliseconds = double(last - start - preSkip) / 48.0;
            } else if (properties.sampleRate != 0 && last > start) {
                // Granule positions count the samples from the start of the stream, whose
                // header pages stand at 0. The first audio page's position is where that
                // page ends, not where the audio begins.
                milliseconds = double(last - start) / (properties.sampleRate / 1000.0);
            }
        } catch (Exception &) {
            milliseconds = 0;
        }
        properties.duration = int(qMin<double>(milliseconds, INT_MAX));
    }
    if (properties.bitrate == 0 && properties.duration != 0)
        properties.bitrate =
            int(qMin<double>(double(properties.audioSize) * 8 / (properties.duration / 1000.0), INT_MAX));
    return properties;
}

QList<int> OggStreamIo::supportedItemTypes() const
{
    return VorbisCommentTagIo::instance()->supportedItemTypes();
}

IOggAudioStreamIo *OggStreamIo::detectCodec(IoStream *stream, quint32 *serial)
{
    QObject scratch;
    while (stream->pos() < stream->size()) {
        OggPage *page = OggPage::read(stream, &scratch);
        if (!page->isBeginOfStream())
            break;
        page->readData(stream);
        for (IOggAudioStreamIo *codec : codecs()) {
            if (page->data.startsWith(codec->magic())) {
                *serial = page->serialNumber;
                return codec;
            }
        }
        // Another beginning-of-stream page: perhaps video, or a codec we do not know.
    }
    throw Exception(NoKnownCodec, {stream->displayName()});
}

QList<OggPage *> OggStreamIo::collectPages(IoStream *stream, IOggAudioStreamIo *codec, quint32 serial,
                                           QObject *parent)
{
    QObject scratch;
    QList<OggPage *> pages;
    int completed = 0;
    while (stream->pos() < stream->size()) {
        OggPage *page = OggPage::read(stream, &scratch);
        if (page->serialNumber != serial) {
            stream->seek(page->endOffset());
            pages.append(page);
            continue;
        }
        page->readData(stream);
        if (!codec->isHeaderPage(completed, page)) {
            delete page;
            break;
        }
        pages.append(page);
        completed += page->completedPacketCount();
    }
    while (!pages.isEmpty() && pages.last()->serialNumber != serial)
        delete pages.takeLast();
    if (!pages.isEmpty())
        stream->seek(pages.last()->endOffset());
    for (OggPage *page : std::as_const(pages))
        page->setParent(parent);
    return pages;
}

QList<OggPage *> OggStreamIo::headerPages(IoStream *stream, IOggAudioStreamIo *codec, quint32 serial,
                                          QObject *parent)
{
    return pagesOfSerial(collectPages(stream, codec, serial, parent), serial);
}

QList<OggPage *> OggStreamIo::pagesOfSerial(const QList<OggPage *> &pages, quint32 serial)
{
    QList<OggPage *> result;
    for (OggPage *page : pages) {
        if (page->serialNumber == serial)
            result.append(page);
    }
    return result;
}

QList<QByteArray> OggStreamIo::packetsFromPages(const QList<OggPage *> &pages)
{
    QList<QByteArray> packets;
    if (pages.isEmpty())
        return packets;
    QByteArray lacing;
    QByteArray bodies;
    for (const OggPage *page : pages) {
        lacing += page->segmentTable;
        bodies += page->data;
    }
    // Nothing comes before a stream's first page: a continued flag there is damage, and
    // the codec was recognised by the magic at the start of its data.
    bool skipFirst = pages.first()->isContinued() && !pages.first()->isBeginOfStream();
    qsizetype position = 0;
    qsizetype length = 0;
    for (const char value : std::as_const(lacing)) {
        length += quint8(value);
        if (quint8(value) == 255)
            continue;
        if (skipFirst)
            skipFirst = false;
        else
            packets.append(bodies.mid(position, length));
        position += length;
        length = 0;
    }
    return packets;
}

QList<OggPage *> OggStreamIo::pagesFromPackets(const QList<QByteArray> &packets, quint32 serial, int firstSequence,
                                               int previousPageCount, QObject *parent, bool freshPagePerPacket)
{
    QObject scratch;
    // The lacing values of each page, cut either packet by packet (every packet starts a
    // page) or 255 values at a time across packets.
    bool onePerPage = freshPagePerPacket || previousPageCount >= packets.size();
    QList<QByteArray> lacings;
    for (const QByteArray &packet : packets) {
        lacings.append(lacingOf(packet));
        if (lacings.last().size() > 255 && !freshPagePerPacket)
            onePerPage = false;
    }
    QList<QByteArray> tables;
    if (onePerPage) {
        for (const QByteArray &lacing : std::as_const(lacings)) {
            for (qsizetype at = 0; at < lacing.size(); at += 255)
                tables.append(lacing.mid(at, 255));
        }
    } else {
        const QByteArray all = lacings.join();
        for (qsizetype at = 0; at < all.size(); at += 255)
            tables.append(all.mid(at, 255));
    }

    const QByteArray bodies = packets.join();
    QList<OggPage *> pages;
    qsizetype bodyUsed = 0;
    bool continued = false;
    int sequence = firstSequence;
    for (const QByteArray &table : std::as_const(tables)) {
        qsizetype bodySize = 0;
        for (const char value : table)
            bodySize += quint8(value);
        auto *page = new OggPage(&scratch);
        page->serialNumber = serial;
        page->sequenceNumber = quint32(sequence);
        page->setBeginOfStream(sequence == 0);
        page->setContinued(continued);
        page->setSegmentTable(table);
        page->setData(bodies.mid(bodyUsed, bodySize));
        pages.append(page);
        continued = quint8(table.back()) == 255;
        bodyUsed += bodySize;
        ++sequence;
    }
    for (OggPage *page : std::as_const(pages))
        page->setParent(parent);
    return pages;
}

QList<OggPage *> OggStreamIo::mergePages(quint32 serial, const QList<OggPage *> &oldPages,
                                         const QList<OggPage *> &newPages, QObject *parent)
{
    QList<OggPage *> merged;
    qsizetype next = 0;
    for (OggPage *page : oldPages) {
        if (page->serialNumber != serial) {
            merged.append(page);
        } else if (next < newPages.size()) {
            merged.append(newPages[next++]);
        } else {
            // A page the header no longer needs: an empty page keeps the numbering.
            auto *filler = new OggPage(parent);
            filler->serialNumber = serial;
            filler->sequenceNumber = page->sequenceNumber;
            merged.append(filler);
        }
    }
    while (next < newPages.size())
        merged.append(newPages[next++]);
    return merged;
}

void OggStreamIo::checkSequenceNumbers(IoStream *stream, const QList<OggPage *> &oldPages,
                                       const QList<OggPage *> &newPages)
{
    const qsizetype common = qMin(oldPages.size(), newPages.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (newPages[i]->sequenceNumber != oldPages[i]->sequenceNumber)
            throw Exception(SequenceMismatch,
                            {stream->displayName(), newPages[i]->sequenceNumber, oldPages[i]->sequenceNumber});
    }
}

void OggStreamIo::replacePages(IoStream *stream, const QList<OggPage *> &oldPages, const QList<OggPage *> &newPages)
{
    if (oldPages.isEmpty())
        return;
    const qint64 start = oldPages.first()->offset;
    const qint64 oldEnd = oldPages.last()->endOffset();
    // Built whole before the first byte is written.
    const QByteArray bytes = serializePages(stream, newPages);
    stream->seek(start);
    stream->replace(oldEnd - start, bytes);
}

void OggStreamIo::rewriteStream(IoStream *stream, quint32 serial, const QList<OggPage *> &oldPages,
                                const QList<OggPage *> &newPages)
{
    if (oldPages.isEmpty())
        return;
    const qint64 start = oldPages.first()->offset;
    const qint64 oldEnd = oldPages.last()->endOffset();
    // Every later page header is read before anything is written.
    const QList<qint64> later = laterPagesOfSerial(stream, oldEnd, serial);
    const QByteArray bytes = serializePages(stream, newPages);
    stream->seek(start);
    stream->replace(oldEnd - start, bytes);

    // The later pages of the stream follow the header's new numbering; their granule
    // positions and flags stay.
    quint32 next = 0;
    for (const OggPage *page : newPages) {
        if (page->serialNumber == serial)
            next = page->sequenceNumber + 1;
    }
    const qint64 shift = qint64(bytes.size()) - (oldEnd - start);
    for (const qint64 at : later)
        renumberPage(stream, at + shift, next++);
}

qint64 OggStreamIo::firstGranulePosition(IoStream *stream, qint64 from, quint32 serial)
{
    QObject scratch;
    const OggPage *page = firstGranulePage(stream, from, serial, &scratch);
    return page ? page->granulePosition : 0;
}

OggPage *OggStreamIo::firstGranulePage(IoStream *stream, qint64 from, quint32 serial, QObject *parent)
{
    stream->seek(from);
    while (stream->pos() < stream->size()) {
        OggPage *page = OggPage::read(stream, parent);
        if (page->serialNumber == serial && page->granulePosition != -1) {
            page->readData(stream);
            return page;
        }
        stream->seek(page->endOffset());
        delete page;
    }
    return nullptr;
}

qint64 OggStreamIo::lastGranulePosition(IoStream *stream, quint32 serial, qint64 from)
{
    // Windows overlap by one largest page, so every page lies whole in one of them; the
    // scan runs backwards and the first intact page of the serial with a position wins.
    constexpr qint64 windowSize = 4 * OggPage::MaxPageSize;
    qint64 windowEnd = stream->size();
    from = qMax<qint64>(0, from);
    while (windowEnd > from) {
        const qint64 windowStart = qMax(from, windowEnd - windowSize);
        const QByteArray window = stream->readBytesAt(windowStart, windowEnd - windowStart);
        for (qsizetype i = window.size() - OggPage::MinHeaderSize; i >= 0; --i) {
            if (window.at(i) != 'O' || qstrncmp(window.constData() + i, "OggS", 4) != 0)
                continue;
            QObject scratch;
            const OggPage *page = OggPage::parse(window, i, &scratch);
            if (!page || page->serialNumber != serial || page->granulePosition == -1)
                continue;
            if (OggPage::hasValidChecksum(window, i, page->headerSize + page->dataSize))
                return page->granulePosition;
        }
        if (windowStart == from)
            break;
        windowEnd = windowStart + OggPage::MaxPageSize;
    }
    return 0;
}

qint64 OggStreamIo::containerEnd(IoStream *stream)
{
    const qint64 size = stream->size();
    qint64 position = stream->pos();
    qint64 end = -1;
    // Only the headers are read; bytes that are no page header end the walk quietly.
    while (size - position >= OggPage::MinHeaderSize) {
        const QByteArray header = stream->readBytesAt(position, qMin<qint64>(size - position, 27 + 255));
        if (!header.startsWith("OggS") || header.at(4) != 0)
            break;
        const int count = quint8(header.at(26));
        if (header.size() < OggPage::MinHeaderSize + count)
            break;
        qint64 pageSize = OggPage::MinHeaderSize + count;
        for (int i = 0; i < count; ++i)
            pageSize += quint8(header.at(OggPage::MinHeaderSize + i));
        position += pageSize;
        end = position;
    }
    return end;
}
