#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QUuid>

class IoStream;

// One object of an ASF file. The Header Object and the Header Extension Object hold their
// own data in `data` and their nested objects in `children`; every other object keeps its
// whole payload in `data`, except the Data Object, whose payload stays in the stream.
// Children are QObject children of their container, so a tree dies with its top level.
class AsfObject : public QObject
{
public:
    // Error codes of the object tree.
    enum Code : quint32 {
        SizeBelowHeader = 0x9c48bfed,
        PayloadTooLarge = 0xe80d0207,
        NoHeaderObject = 0xca7a92a9,
        HeaderWithoutData = 0x7812e766,
        ExtensionWithoutData = 0x0d33e4c1,
        ExtensionTooLarge = 0x4a974d5b,
        NestedTooDeeply = 0x44ac3120,
    };

    static constexpr qint64 headerSize = 24;
    // Payloads of loaded objects are held in memory up to this size.
    static constexpr qint64 maximumLoadSize = 128 * 1024 * 1024;
    // Container objects nest at most this deep; real files use two levels.
    static constexpr int maximumDepth = 8;

    // Object GUIDs
    static const QUuid &headerGuid();
    static const QUuid &headerExtensionGuid();
    static const QUuid &dataGuid();
    static const QUuid &contentDescriptionGuid();
    static const QUuid &extendedContentDescriptionGuid();
    static const QUuid &metadataGuid();
    static const QUuid &metadataLibraryGuid();
    static const QUuid &contentBrandingGuid();
    static const QUuid &paddingGuid();
    static const QUuid &filePropertiesGuid();
    static const QUuid &streamPropertiesGuid();
    static const QUuid &audioMediaGuid();
    static const QUuid &streamBitratePropertiesGuid();
    static const QUuid &extendedStreamPropertiesGuid();

    // An object with loaded own data.
    AsfObject(const QUuid &guid, qint64 offset, qint64 size, const QByteArray &data,
              QObject *parent = nullptr);
    // An object whose payload stays in the stream (the Data Object).
    AsfObject(const QUuid &guid, qint64 offset, qint64 size, QObject *parent = nullptr);
    ~AsfObject() override;

    void appendChild(AsfObject *child);
    void appendChildren(const QList<AsfObject *> &objects);
    void insertChild(int index, AsfObject *child);
    void removeChildAt(int index);

    // Every object with the GUID among the trees at any depth, in pre-order.
    static QList<AsfObject *> findAll(const QList<AsfObject *> &objects, const QUuid &guid);
    // Deletes every object with the GUID at any depth.
    static void removeAll(QList<AsfObject *> &objects, const QUuid &guid);

    void write(IoStream *stream) const;
    // Recomputes the sizes of the subtree and the count fields of the two container
    // objects; the stream only names the file in messages.
    qint64 updateSize(IoStream *stream);

    QUuid guid;
    qint64 offset = -1;
    qint64 size = 0;
    qint64 dataSize = 0;
    QByteArray data;
    QList<AsfObject *> children;
};
