#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

class AudioFile;
class AudioTag;
class QObject;

// Mounts the resource packages and chooses English, so that display texts are known.
void loadModelTexts();

// An item of the type holding the value (null when the value does not convert).
class TagItem;
TagItem *makeModelItem(int itemType, const QVariant &value, QObject *parent = nullptr);

// Audio files for model tests: copies of a small real MP3 under a temporary folder, each
// given a combined tag of (item type, value) pairs. The files are children of `parent`.
class AudioFileFactory
{
public:
    AudioFileFactory();
    QString folder() const { return m_dir.path(); }
    // A copy of the fixture at the relative path (folders are created).
    QString copyFixture(const QString &relativePath, const QString &fixture = QStringLiteral("plain/cbr-info.mp3"));
    AudioFile *create(const QString &relativePath, const QList<QPair<int, QVariant>> &items,
                      QObject *parent = nullptr);
    // A file with title, artist, album artist and album (empty values are left out).
    AudioFile *album(const QString &relativePath, const QString &artist, const QString &albumArtist,
                     const QString &album, bool compilation = false, QObject *parent = nullptr);

private:
    QTemporaryDir m_dir;
};
