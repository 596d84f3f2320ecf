#pragma once

#include "libtagging/asf/asfattribute.h"
#include "libtagging/asf/asfsettings.h"
#include "libtagging/model/iaudiostreamio.h"

#include <QString>
#include <QStringList>

class AsfObject;
class TagItem;

// ASF files and their metadata objects.
// A stateless singleton, shared by every thread.
class AsfStreamIo : public IAudioStreamIo
{
public:
    enum Code : quint32 {
        // Writing
        NoHeaderToWrite = 0xd62d688e,
        TooManyAttributes = 0xab55e71f,
        HeaderSizeMismatch = 0x36b1a1f5,
        AttributeTooLarge = 0xa6be14c7,
        // Warnings of attribute reading
        BannerWithoutImage = 0x057cd3b1,
        PictureWithoutImage = 0xfdfa95c5,
        BinaryTocUnreadable = 0xdfee7aa4,
        TextTocUnreadable = 0xe3b919ca,
    };

    static AsfStreamIo *instance();

    QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes,
                               const TaggingSettings *settings, QObject *parent) override;
    void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                   const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(IoStream *stream, ICodecIo *codecIo) override;
    QList<int> supportedItemTypes() const override;
    // The end of the last top-level object (header, data, indexes) from the stream's position;
    // -1 when the stream does not start with a header object.
    qint64 containerEnd(IoStream *stream) override;

    // The objects of the length bytes from the stream's position; maxCount -1 reads all.
    // Top-level objects become children of parent, nested ones of their container.
    static QList<AsfObject *> parseObjects(IoStream *stream, qint64 length, int maxCount,
                                           QObject *parent);
    // The file's objects from the stream's position to the end of its own structure, so that
    // a loose tag behind it is not taken for an object.
    static QList<AsfObject *> parseFile(IoStream *stream, QObject *parent);
    // Throws unless the first object is a Header Object.
    static void checkHeader(IoStream *stream, const QList<AsfObject *> &objects);

    // Attribute mapping. readAttribute adds the items of one attribute to the tag; a value it
    // cannot interpret becomes an unknown item. The stream only names the file in warnings.
    static void readAttribute(IoStream *stream, const AsfAttribute &attribute, AudioTag *tag);
    // One attribute per item under the name; format is the toString format of text values.
    static void addItemAttributes(const QList<TagItem *> &items, const QString &name,
                                  QList<QByteArray> &descriptors, QList<QByteArray> &libraryRecords,
                                  const QString &format = QString());
    static void addStringAttributes(const QStringList &texts, const QString &name,
                                    QList<QByteArray> &descriptors, QList<QByteArray> &libraryRecords);
    // The unknown ASF items of a tag, stored again as they were read.
    static void addUnknownAttributes(const QList<TagItem *> &items, QList<QByteArray> &descriptors,
                                     QList<QByteArray> &libraryRecords);

    // Serialises an attribute as a descriptor or, when it needs more than a descriptor can
    // hold or libraryRecord is set, as a Metadata Library record; a byte string already in its
    // list is not added again. A name or value too long for the record's size fields is
    // refused (AttributeTooLarge).
    static void addAttribute(const AsfAttribute &attribute, QList<QByteArray> &descriptors,
                             QList<QByteArray> &libraryRecords, bool libraryRecord = false);
    // One descriptor of an Extended Content Description Object, or one record of a Metadata or
    // Metadata Library Object, read from the stream's position.
    static AsfAttribute readDescriptor(IoStream *data);
    static AsfAttribute readRecord(IoStream *data);

    // Settings
    static AsfSettings loadSettings(const QString &group);
    static void saveSettings(const AsfSettings &settings, const QString &group);

private:
    AsfStreamIo() = default;
    ~AsfStreamIo() override = default;
};
