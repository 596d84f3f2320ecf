#include "libtagging/xiph/oggpage.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/util/checksum.h"

#include <QtEndian>

#include <memory>

OggPage::OggPage(QObject *parent) : QObject(parent) {}

void OggPage::setContinued(bool on)
{
    headerType = on ? (headerType | Continued) : (headerType & ~Continued);
}

void OggPage::setBeginOfStream(bool on)
{
    headerType = on ? (headerType | BeginOfStream) : (headerType & ~BeginOfStream);
}

void OggPage::setSegmentTable(const QByteArray &lacing)
{
    if (lacing.size() > 255)
        throw Exception(TooManyLacingValues, {int(lacing.size())});
    segmentTable = lacing;
    headerSize = MinHeaderSize + int(lacing.size());
    if (completedPacketCount() > 0) {
        if (granulePosition == -1)
            granulePosition = 0;
    } else {
        granulePosition = -1;
    }
}

void OggPage::setData(const QByteArray &body)
{
    data = body;
    dataSize = int(body.size());
}

void OggPage::readData(IoStream *stream)
{
    stream->seek(offset + headerSize);
    data = stream->readBytes(dataSize);
}

int OggPage::completedPacketCount() const
{
    int count = 0;
    for (const char value : segmentTable) {
        if (quint8(value) < 255)
            ++count;
    }
    return count;
}

namespace {

// Fills the fixed header fields from the 27 bytes at data; false without the capture
// pattern or with another version (version in *version).
enum class HeaderCheck { Ok, NoPattern, BadVersion };

HeaderCheck parseFixedHeader(OggPage *page, const char *data, int *version)
{
    if (qstrncmp(data, "OggS", 4) != 0)
        return HeaderCheck::NoPattern;
    *version = quint8(data[4]);
    if (*version != 0)
        return HeaderCheck::BadVersion;
    page->headerType = quint8(data[5]);
    page->granulePosition = qFromLittleEndian<qint64>(data + 6);
    page->serialNumber = qFromLittleEndian<quint32>(data + 14);
    page->sequenceNumber = qFromLittleEndian<quint32>(data + 18);
    page->checksum = qFromLittleEndian<quint32>(data + 22);
    return HeaderCheck::Ok;
}

} // namespace

OggPage *OggPage::read(IoStream *stream, QObject *parent)
{
    auto page = std::make_unique<OggPage>();
    page->offset = stream->pos();
    char header[MinHeaderSize];
    stream->read(header, MinHeaderSize);
    int version = 0;
    switch (parseFixedHeader(page.get(), header, &version)) {
    case HeaderCheck::NoPattern:
        throw Exception(NoCapturePattern, {stream->displayName(), page->offset});
    case HeaderCheck::BadVersion:
        throw Exception(UnknownVersion, {stream->displayName(), version, page->offset});
    case HeaderCheck::Ok:
        break;
    }
    const int count = quint8(header[26]);
    page->segmentTable = stream->readBytes(count);
    page->headerSize = MinHeaderSize + count;
    page->dataSize = 0;
    for (const char value : std::as_const(page->segmentTable))
        page->dataSize += quint8(value);
    if (stream->pos() + page->dataSize > stream->size())
        throw Exception(BodyPastEnd, {stream->displayName(), page->offset});
    page->setParent(parent);
    return page.release();
}

OggPage *OggPage::parse(const QByteArray &bytes, qsizetype at, QObject *parent)
{
    if (at < 0 || bytes.size() - at < MinHeaderSize)
        return nullptr;
    auto page = std::make_unique<OggPage>();
    int version = 0;
    if (parseFixedHeader(page.get(), bytes.constData() + at, &version) != HeaderCheck::Ok)
        return nullptr;
    const int count = quint8(bytes.at(at + 26));
    if (bytes.size() - at < MinHeaderSize + count)
        return nullptr;
    page->segmentTable = bytes.mid(at + MinHeaderSize, count);
    page->headerSize = MinHeaderSize + count;
    for (const char value : std::as_const(page->segmentTable))
        page->dataSize += quint8(value);
    if (bytes.size() - at < qsizetype(page->headerSize) + page->dataSize)
        return nullptr;
    page->offset = at;
    page->setParent(parent);
    return page.release();
}

QByteArray OggPage::render() const
{
    QByteArray out;
    out.reserve(MinHeaderSize + segmentTable.size() + data.size());
    out.append("OggS", 4);
    out.append(char(0));
    out.append(char(headerType));
    char number[8];
    qToLittleEndian<qint64>(granulePosition, number);
    out.append(number, 8);
    qToLittleEndian<quint32>(serialNumber, number);
    out.append(number, 4);
    qToLittleEndian<quint32>(sequenceNumber, number);
    out.append(number, 4);
    out.append(4, char(0));
    out.append(char(quint8(segmentTable.size())));
    out.append(segmentTable);
    out.append(data);
    qToLittleEndian<quint32>(crc32(out), number);
    out.replace(22, 4, number, 4);
    return out;
}

bool OggPage::hasValidChecksum(const QByteArray &bytes, qsizetype at, qsizetype length)
{
    if (at < 0 || length < MinHeaderSize || bytes.size() - at < length)
        return false;
    QByteArray page = bytes.mid(at, length);
    const quint32 stored = qFromLittleEndian<quint32>(page.constData() + 22);
    page.replace(22, 4, QByteArray(4, char(0)));
    return crc32(page) == stored;
}
