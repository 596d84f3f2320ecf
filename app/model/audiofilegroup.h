#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class AudioFile;
class AudioTag;

// Audio files grouped by their tags into albums of one artist, compilations and the loose
// tracks of one artist. Groups live only for one task, as children of the caller's parent.
class AudioFileGroup : public QObject
{
public:
    enum Kind : int {
        AlbumKind = 0,       // album of one artist (the album artist, else the artist)
        CompilationKind = 1, // album marked as part of a compilation
        TracksKind = 2,      // tracks of one artist that belong to no album group
    };

    // Fewer files of one album are loose tracks of their artist.
    static constexpr int MinimumAlbumSize = 4;

    AudioFileGroup(const QList<AudioFile *> &files, int kind, const QString &artist, const QString &album,
                   QObject *parent = nullptr);

    const QList<AudioFile *> &files() const { return m_files; }
    int kind() const { return m_kind; }
    QString artist() const { return m_artist; }
    QString album() const { return m_album; }

    // Groups the files by their combined tags, keeping the files' order inside each group.
    // Album groups come first, then compilations, then loose tracks.
    static QList<AudioFileGroup *> createGroups(const QList<AudioFile *> &files, QObject *parent);
    static QList<AudioFileGroup *> createGroups(const QHash<AudioFile *, AudioTag *> &tags, QObject *parent);
    // Whether grouping looks at items of the type: a change of any other type leaves every
    // file in its group.
    static bool groupsByItemType(int itemType);

private:
    static QList<AudioFileGroup *> createGroups(const QList<QPair<AudioFile *, AudioTag *>> &tags, QObject *parent);

    QList<AudioFile *> m_files;
    int m_kind = AlbumKind;
    QString m_artist;
    QString m_album;
};
