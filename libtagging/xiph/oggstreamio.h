#pragma once

#include "libtagging/model/iaudiostreamio.h"

#include <QByteArray>
#include <QList>

class IOggAudioStreamIo;
class OggPage;

// Ogg streams: the codec inside is chosen by the magic of its first header packet. Only
// the first logical stream of a known codec is read and written; pages of other logical
// streams keep their bytes. A stateless singleton, shared by every thread.
class OggStreamIo : public IAudioStreamIo
{
public:
    enum Code : quint32 {
        NoKnownCodec = 0x066B80BE,
        SequenceMismatch = 0xF0BCA94B,
        UnreadableTail = 810082409u,
    };

    static OggStreamIo *instance();

    QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes,
                               const TaggingSettings *settings, QObject *parent) override;
    void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                   const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(IoStream *stream, ICodecIo *codecIo) override;
    QList<int> supportedItemTypes() const override;
    // The end of the last page in an unbroken run of pages; a page whose body runs past the
    // stream's end (a cut file) declares its own end.
    qint64 containerEnd(IoStream *stream) override;

    // The steps of reading and writing, open for the tests.
    static IOggAudioStreamIo *detectCodec(IoStream *stream, quint32 *serial);
    // The pages from the position through the last header page of the serial, pages of
    // other serials included (their bodies are not loaded); the stream is left after them.
    static QList<OggPage *> collectPages(IoStream *stream, IOggAudioStreamIo *codec, quint32 serial,
                                         QObject *parent);
    static QList<OggPage *> pagesOfSerial(const QList<OggPage *> &pages, quint32 serial);
    // The header pages of the serial alone; the stream is left after the header.
    static QList<OggPage *> headerPages(IoStream *stream, IOggAudioStreamIo *codec, quint32 serial,
                                        QObject *parent);
    static QList<QByteArray> packetsFromPages(const QList<OggPage *> &pages);
    // Each packet gets pages of its own when the old header had as many pages, or always
    // with freshPagePerPacket; otherwise the pages are filled with 255 lacing values each.
    static QList<OggPage *> pagesFromPackets(const QList<QByteArray> &packets, quint32 serial, int firstSequence,
                                             int previousPageCount, QObject *parent,
                                             bool freshPagePerPacket = false);
    static QList<OggPage *> mergePages(quint32 serial, const QList<OggPage *> &oldPages,
                                       const QList<OggPage *> &newPages, QObject *parent);
    // Throws, and nothing is written, unless the rebuilt pages keep the old pages' numbers.
    static void checkSequenceNumbers(IoStream *stream, const QList<OggPage *> &oldPages,
                                     const QList<OggPage *> &newPages);
    // A header of no more pages than before: the old header's bytes are replaced, no later
    // page changes.
    static void replacePages(IoStream *stream, const QList<OggPage *> &oldPages, const QList<OggPage *> &newPages);
    // A header of more pages: the later pages of the serial are renumbered after it. Their
    // headers are all read first; a page that cannot be read ends them, and the bytes from
    // there on stay as they are.
    static void rewriteStream(IoStream *stream, quint32 serial, const QList<OggPage *> &oldPages,
                              const QList<OggPage *> &newPages);
    // The granule position of the first page of the serial from the position from that has
    // one; 0 when none.
    static qint64 firstGranulePosition(IoStream *stream, qint64 from, quint32 serial);
    // That page with its body, under parent; null when there is none.
    static OggPage *firstGranulePage(IoStream *stream, qint64 from, quint32 serial, QObject *parent);
    // The granule position of the last intact page of the serial after from; 0 when none.
    static qint64 lastGranulePosition(IoStream *stream, quint32 serial, qint64 from);

private:
    OggStreamIo() = default;
    ~OggStreamIo() override = default;
};
