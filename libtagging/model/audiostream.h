#pragma once

#include <QMap>
#include <QObject>
#include <QString>

#include "libtagging/model/audioproperties.h"
#include "libtagging/model/taggingsettings.h"

class AudioTag;
class FileType;
class IAudioStreamIo;
class IoStream;

// One opened audio stream: the byte stream, its file type from the registry, its tags by
// tag type with the merged tag under type 0, its cached audio properties and the options
// it is written with. The stream and every stored tag are children of the audio stream.
// Used by one thread at a time; nothing here is locked. The device is opened and closed
// by each of readTags, writeTags and a first audioProperties, never kept open between them.
class AudioStream : public QObject
{
    Q_OBJECT
public:
    // Takes the stream as a child and looks up its file type; a stream without a type is
    // logged and stays usable, but reading, writing and measuring it fail.
    explicit AudioStream(IoStream *stream, QObject *parent = nullptr);

    IoStream *stream() const { return m_stream; }
    // The registry record, or null when the stream has no type.
    const FileType *typeRecord() const { return m_typeRecord; }
    // The id of the file type; 0 without a type (as for the unsupported record).
    int fileType() const;
    QString filePath() const;
    // The last component of the path.
    QString fileName() const;

    // Replaces the file type found at construction and the reader of the tags that stand
    // loose at either end of a file (FreeStreamIo unless set here). For stand-in formats.
    void setFormat(const FileType *typeRecord, IAudioStreamIo *looseTagIo);

    // Reads the tags of one type, or of every type and the merged tag for type 0. Tags
    // standing loose around a container are read first (behind it only past the end it
    // declares, as writing strips them); then the file type's readers are
    // tried in order from the end of the loose tags in front, and the first that does not
    // throw wins. Throws when none does; loose tags read by then stay stored.
    void readTags(int tagType = 0, bool clean = true);
    // Writes the stored tag of one type, or the merged tag in every configured tag type for
    // type 0 (removing the configured ones when it is empty). Loose tags around a container
    // are removed first, behind it only past the end it declares. Throws when no reader of the file type succeeds;
    // a save that throws has left the stream as it was (the writers that failed included).
    void writeTags(int tagType = 0);
    // Measured on first success and kept for the object's life; reading every tag (type 0)
    // measures them on the way when it can.
    AudioProperties audioProperties();
    // Appends the pictures of the image files beside the stream that the tag does not
    // hold yet; skipped for folders of more than 100 entries. Never throws. Whoever reads
    // many files in a row holds a FolderListingCache::Scope, so a folder is listed once.
    void addFolderArtwork(AudioTag *tag);

    const QMap<int, AudioTag *> &tags() const { return m_tags; }
    // The same as tags().value(0) without the map lookup: the table asks for it for every
    // cell of every file.
    AudioTag *combinedTag() const { return m_combinedTag; }
    // Stores a tag a reader produced under its own tag type, optionally cleaned. A tag
    // stored under that type before stays a child until the stream is destroyed.
    void addTag(AudioTag *tag, bool clean);
    // The tag of the type; a new empty one is created and stored when there is none.
    AudioTag *tag(int tagType);
    // Stores a tag under the type, deleting the one it replaces; a null tag deletes and
    // removes the tag of the type, or every tag for type 0.
    void setTag(AudioTag *tag, int tagType);
    // Removes the tag of the type and hands it to the caller, who owns it then; null when
    // there is none. A tag that also stands under another type stays: the caller gets a copy.
    AudioTag *takeTag(int tagType);

    // The options for reading and writing; callers replace the whole record before writing.
    TaggingSettings taggingSettings;

protected:
    IoStream *m_stream = nullptr;
    const FileType *m_typeRecord = nullptr;
    QMap<int, AudioTag *> m_tags;

private:
    // Kept equal to m_tags.value(0) after every change of m_tags.
    void tagsChanged() { m_combinedTag = m_tags.value(0); }
    AudioTag *m_combinedTag = nullptr;

    QList<IAudioStreamIo *> streamIos() const;
    // The loose-tag reader when the file type does not read loose tags itself, else null.
    IAudioStreamIo *separateLooseTagIo() const;
    // Where the audio container begins: after the last loose tag in front, 0 without one.
    static qint64 endOfFrontTags(const QList<AudioTag *> &looseTags);
    // With the device open: the first reader that measures the container beginning at start
    // sets the properties; they stay invalid when none does.
    void measureAudioProperties(qint64 start);

    IAudioStreamIo *m_looseTagIo = nullptr;
    AudioProperties m_properties;
};
