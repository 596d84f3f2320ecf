#pragma once

#include <QByteArray>
#include <QObject>

class IoStream;

// One Ogg page: its header fields, where it was read from and, when loaded, its body.
// Pages live as children of an object that lasts for one read or write operation.
class OggPage : public QObject
{
public:
    enum Flag : quint8 { Continued = 0x01, BeginOfStream = 0x02, EndOfStream = 0x04 };

    enum Code : quint32 {
        NoCapturePattern = 0xC8E916BD,
        UnknownVersion = 0x76C29657,
        BodyPastEnd = 0xB53A62E5,
        TooManyLacingValues = 0xF09F3C6C,
    };

    static constexpr int MinHeaderSize = 27;
    // Header with 255 lacing values and a body of 255 * 255 bytes.
    static constexpr int MaxPageSize = 27 + 255 + 255 * 255;

    explicit OggPage(QObject *parent = nullptr);

    bool isContinued() const { return headerType & Continued; }
    bool isBeginOfStream() const { return headerType & BeginOfStream; }
    bool isEndOfStream() const { return headerType & EndOfStream; }
    void setContinued(bool on);
    void setBeginOfStream(bool on);

    // Also fixes the granule position: 0 instead of -1 once a packet ends on the page, -1
    // when none does. Throws TooManyLacingValues above 255 values.
    void setSegmentTable(const QByteArray &lacing);
    void setData(const QByteArray &body);
    // Loads the body from where the page was read; the stream is left after the page.
    void readData(IoStream *stream);
    int completedPacketCount() const;
    qint64 endOffset() const { return offset + headerSize + dataSize; }

    // The header at the stream position; the stream is left at the body, which is not
    // loaded. The checksum is not verified.
    static OggPage *read(IoStream *stream, QObject *parent);
    // The header at the start of bytes, or null when it is no complete page there.
    static OggPage *parse(const QByteArray &bytes, qsizetype at, QObject *parent);
    // The serialised page with a freshly computed checksum.
    QByteArray render() const;
    // Whether the checksum field matches the page as it stands in bytes at the offset.
    static bool hasValidChecksum(const QByteArray &bytes, qsizetype at, qsizetype length);

    quint8 headerType = 0;
    qint64 granulePosition = -1;
    quint32 serialNumber = 0;
    quint32 sequenceNumber = 0;
    quint32 checksum = 0;
    QByteArray segmentTable;
    qint64 offset = -1;
    int headerSize = MinHeaderSize;
    int dataSize = 0;
    QByteArray data;
};
