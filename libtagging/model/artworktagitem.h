#pragma once

#include "libcore/image/codedimage.h"
#include "libtagging/model/tagitem.h"

#include <QImage>
#include <QStringList>

// A picture with its picture type (the ID3v2 picture types 0 to 20) and description,
// held in a tag or linked to an image file beside the audio files.
class ArtworkTagItem : public TagItem
{
public:
    static constexpr int Type = 16;
    static constexpr int FrontCover = 3;
    // Linked image files larger than this are not loaded.
    static constexpr qint64 MaxLinkedFileSize = 64 * 1024 * 1024;

    explicit ArtworkTagItem(QObject *parent = nullptr);
    explicit ArtworkTagItem(const QImage &image, QObject *parent = nullptr);
    explicit ArtworkTagItem(const CodedImage &image, QObject *parent = nullptr);
    ArtworkTagItem(const CodedImage &image, int pictureType, const QString &description, QObject *parent = nullptr);
    // A picture linked to an image file, loaded from it. Only a regular file inside the
    // folder (or the folder of the file that folder names) is read; links that lead
    // elsewhere, such as paths taken from a damaged or hostile audio file, give an empty
    // picture.
    ArtworkTagItem(const QString &folder, const QString &linkedFile, int pictureType, const QString &description,
                   QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    // Bytes, picture type, description and linked file; not the folder, the flag or the
    // image's properties.
    bool equals(const TagItem *other) const override;
    bool isEmpty() const override;
    bool isPlainValue() const override;
    QVariant toVariant() const override;
    bool fromVariant(const QVariant &value) override;
    int type() const override;
    int dataType() const override;

    const CodedImage &image() const { return m_image; }
    // Marks the item modified when the bytes change.
    void setImage(const CodedImage &image);
    const QString &linkedFile() const { return m_linkedFile; }
    // Marks the item modified when the path changes.
    void setLinkedFile(const QString &path);
    bool isModified() const { return m_modified; }
    // Writes the picture to its linked file resolved against the folder, unless the file
    // there is this unchanged picture already. Throws when the write fails (the item stays
    // modified and the old file whole), and refuses (throws) a linked file that would lie
    // outside the folder.
    void saveLinkedFile(const QString &folder);

    static const QStringList &imageFileFilters();
    // Front cover first, the file icons and "other" last.
    static QList<int> pictureTypeOrder();
    static QList<ArtworkTagItem *> sortByPictureType(const QList<ArtworkTagItem *> &items);
    static QString pictureTypeName(int pictureType);

    // The absolute path of a linked file: an absolute file as it is, a relative one joined
    // to the folder (or to the folder of the file that folder names).
    static QString resolvePath(const QString &folder, const QString &file);
    // The pictures of the image files in a folder, the picture type guessed from each
    // file's name, in the order of pictureTypeOrder. Throws when the folder cannot be listed.
    static QList<ArtworkTagItem *> folderArtwork(const QString &folder, QObject *parent = nullptr);
    // The same from the folder's entry names, listed by the caller with listFiles.
    static QList<ArtworkTagItem *> folderArtwork(const QString &folder, const QStringList &names,
                                                 QObject *parent = nullptr);
    // resolvePath for a file that may be read or written: empty unless file is relative and
    // stays inside that folder.
    static QString confinedPath(const QString &folder, const QString &file);

    int pictureType = FrontCover;
    QString description;
    QString folder;

private:
    void loadLinkedFile();

    CodedImage m_image;
    QString m_linkedFile;
    bool m_modified = false;
};
