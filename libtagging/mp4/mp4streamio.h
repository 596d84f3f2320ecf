#pragma once

#include "libtagging/model/iaudiostreamio.h"
#include "libtagging/mp4/mp4settings.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class IntegerTagItem;
class Mp4Box;
class TagItem;

// MP4 files and their metadata atoms: the item list under "moov.udta.meta.ilst", ID3v2 tags
// in "ID32" boxes (read only) and the audio properties of the first audio track.
// A stateless singleton, shared by every thread; the box tree of a call lives under a local
// parent object and dies with it.
class Mp4StreamIo : public IAudioStreamIo
{
public:
    enum Code : quint32 {
        // Box tree
        BoxSizeTooSmall = 0x983abe9f,
        NestingTooDeep = 0xc9afe067,
        // File structure
        NoFileTypeBox = 0xaf0eddf5,
        UnknownBrand = 0xb97a0c5f,
        BoxPathTooShort = 0x69531a0b,
        BoxPathExists = 0xa8d5a718,
        NoMetaForPadding = 0x525e794b,
        ChunkOffsetTableShort = 0x41f3b493,
        ChunkOffsetOutOfRange = 0x2447156d,
        FragmentedDataMoves = 0x1bce0e1a,
        // Items
        NumberPairEmpty = 0x18858296,
        NoArtworkData = 0xb7f44ab6,
        DiscTocUnreadable = 0x065c8895,
    };

    // Boxes nest at most this deep; deeper structures are damaged or hostile.
    static constexpr int maximumDepth = 32;

    static Mp4StreamIo *instance();

    QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes,
                               const TaggingSettings *settings, QObject *parent) override;
    void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                   const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(IoStream *stream, ICodecIo *codecIo) override;
    QList<int> supportedItemTypes() const override;
    // The end of the last top-level box that lies whole in the stream; a known box that
    // runs past the stream's end (a cut file) declares its own end.
    qint64 containerEnd(IoStream *stream) override;

    // Box tree. A path is four-character types joined by one separator ("moov.udta").
    static QList<Mp4Box *> parseBoxes(IoStream *stream, qint64 length, const QString &parentType,
                                      QObject *parent);
    static QList<Mp4Box *> findBoxes(const Mp4Box *root, const QString &path);
    static void removeBoxes(Mp4Box *root, const QList<Mp4Box *> &boxes);
    static Mp4Box *makeFreeBox(qint64 size, QObject *parent);

    // File structure
    static void checkFileType(IoStream *stream, const Mp4Box *root);
    static Mp4Box *createBoxPath(IoStream *stream, Mp4Box *root, const QString &path, int &addedBytes);
    // Points every chunk offset that lies in one of the media data boxes (ranges as parsed)
    // at the same byte of that box's laid-out payload. Each entry is mapped once, from its
    // parsed value, however many boxes move.
    static void shiftChunkOffsets(IoStream *stream, Mp4Box *root, const QList<Mp4Box *> &mediaBoxes);
    static void shiftChunkOffsetTables(IoStream *stream, const QList<Mp4Box *> &tables,
                                       const QList<Mp4Box *> &mediaBoxes, bool wide);
    static QList<int> mpeg4SamplingFrequencies();
    // Rewrites the file from the stream's position without its item list, ID3v2 boxes and
    // free space: fillItemList, when given, fills a new item list. Padding follows the
    // settings; the media data moves only when the padding cannot absorb the change.
    static void rewriteFile(IoStream *stream, const Mp4Settings &padding,
                            const std::function<void(Mp4Box *)> &fillItemList);

    // Item list
    static void readItemBox(IoStream *stream, const Mp4Box *itemBox, AudioTag *tag);
    static void readDataBox(IoStream *stream, const Mp4Box *itemBox, const Mp4Box *dataBox, AudioTag *tag);
    static void writeItemBoxes(Mp4Box *itemList, const AudioTag *tag, const TaggingSettings *settings,
                               int itemType, const QList<TagItem *> &items);
    static Mp4Box *makeFreeformBox(const QString &mean, const QString &name, const QString &text,
                                   QObject *parent);
    static Mp4Box *makeFreeformBox(const QString &name, const QString &text, QObject *parent);
    static QString itemTextFormat(const TagItem *item);
    static void appendTextBoxes(Mp4Box *parent, const QString &type, const QList<TagItem *> &items);
    static void appendFreeformBoxes(Mp4Box *parent, const QString &name, const QList<TagItem *> &items);

    // Item box builders
    static Mp4Box *makeDataBox(const QByteArray &value, quint32 typeIndicator, QObject *parent);
    static Mp4Box *makeTextBox(const QString &type, const QString &text, int maxBytes, QObject *parent);
    static Mp4Box *makeInt8Box(const QString &type, int value, QObject *parent);
    static Mp4Box *makeInt16Box(const QString &type, int value, QObject *parent);
    static Mp4Box *makeNumberPairBox(const QString &type, const IntegerTagItem *number,
                                     const IntegerTagItem *total, int length, QObject *parent);
    static Mp4Box *makeArtworkBox(const QString &type, const QList<TagItem *> &items, QObject *parent);

    // Audio properties
    static QStringList audioObjectTypeShortNames();
    static QStringList audioObjectTypeLongNames();

    // Settings
    static Mp4Settings loadSettings(const QString &group);
    static void saveSettings(const Mp4Settings &settings, const QString &group);

private:
    Mp4StreamIo() = default;
    ~Mp4StreamIo() override = default;

    static QList<Mp4Box *> parseBoxes(IoStream *stream, qint64 length, const QString &parentType,
                                      QObject *parent, int depth);
    // Parses the whole stream from its position under a new root box owned by parent.
    static Mp4Box *parseFile(IoStream *stream, QObject *parent);
    // The MP4 tag of the item lists, under parent; null when they hold no item.
    static AudioTag *readItemList(IoStream *stream, const Mp4Box *root, QObject *parent);
    // Writes the laid-out top level from start on, moving the payloads left in the stream
    // in bounded blocks.
    static void writeLayout(IoStream *stream, const Mp4Box *root, qint64 start);
};
