#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class AudioFile;
class IdAudioFile;
class QObject;

// Mounts the packages beside the test as the application does (the word lists at
// ":/app/data/"), registers the item types, and pins the current date of the year tests.
void setUpIdentificationTests();

// CPU time of the calling thread in microseconds: growth checks compare it, since the wall
// clock also counts the other processes of a busy machine.
qint64 threadCpuMicroseconds();

// An audio file at the path (it need not exist) whose combined tag holds the artist values;
// no tag at all when there are none. The file is a child of the owner.
AudioFile *fakeAudioFile(const QString &path, const QStringList &artists, QObject *owner);

// The identification views of fake files with these base names (".mp3" added) in one
// folder, with the artist values given per file (or none).
QList<IdAudioFile *> idFiles(const QStringList &baseNames, QObject *owner,
                             const QList<QStringList> &artists = {}, const QString &folder = "/music/Folder");

// The texts of the sections of the strings of a kind, one string per file, joined by '|'.
QStringList sectionTexts(const QList<IdAudioFile *> &files, int kind);
