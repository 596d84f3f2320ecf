#pragma once

#include <QMap>
#include <QObject>
#include <QString>

class AudioTag;
class FileType;
class IoStream;

// One opened audio stream: the byte stream, its file type from the registry and its tags by
// tag type. The stream and every stored tag are children of the audio stream. Used by one
// thread at a time; nothing here is locked.
class AudioStream : public QObject
{
    Q_OBJECT
public:
    // Takes the stream as a child and looks up its file type; a stream without a type is
    // logged and stays usable.
    explicit AudioStream(IoStream *stream, QObject *parent = nullptr);

    IoStream *stream() const { return m_stream; }
    // The registry record, or null when the stream has no type.
    const FileType *typeRecord() const { return m_typeRecord; }
    // The id of the file type; 0 without a type (as for the unsupported record).
    int fileType() const;
    QString filePath() const;

    const QMap<int, AudioTag *> &tags() const { return m_tags; }
    // Stores a tag a reader produced under its own tag type, optionally cleaned. A tag
    // stored under that type before stays a child until the stream is destroyed.
    void addTag(AudioTag *tag, bool clean);
    // The tag of the type; a new empty one is created and stored when there is none.
    AudioTag *tag(int tagType);
    // Stores a tag under the type, deleting the one it replaces; a null tag deletes and
    // removes the tag of the type, or every tag for type 0.
    void setTag(AudioTag *tag, int tagType);

protected:
    IoStream *m_stream = nullptr;
    const FileType *m_typeRecord = nullptr;
    QMap<int, AudioTag *> m_tags;
};
