#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <atomic>

#include "libcore/log/logger.h"
#include "libcore/log/logmessage.h"

class AudioFile;
class AudioTag;
class ProgressObject;

// Loads the text tables in English and the application's settings defaults.
void loadLibraryTestEnvironment();

// Real audio made by Debian's encoders: lame for MP3, flac for FLAC, from noise of the seed,
// so that files of different seeds hold different audio. Empty when the encoder is missing.
QString encodeAudio(const QString &folder, const QString &suffix, quint32 seed);

// A copy of an encoded file at the path with the tags written by our own writer.
// Tags: item type -> value.
bool makeTaggedFile(const QString &encoded, const QString &path, const QMap<int, QVariant> &tags);

// The audio of an MP3 or FLAC file without its tags: the MPEG frames between an ID3v2 tag and
// an ID3v1 tag, or the FLAC frames after the metadata blocks.
QByteArray audioPayload(const QString &path);

// Every regular file below the folder, relative paths, sorted.
QStringList filesBelow(const QString &folder);

// What mutagen reads of the file's tag: "key=value" lines of its easy interface, sorted.
QStringList mutagenTags(const QString &path);

// Keeps every message logged while it exists.
class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    ~CollectingLogger() override { setRegistered(false); }
    void log(const LogMessage &message) override { messages.append(message); }
    QList<quint32> codes() const;
    int count(quint32 code) const;
    QList<LogMessage> messages;
};

// Cancels the progress when the code has been logged for the nth time, from the thread
// that logs it, as a user's Cancel would reach the work in the middle.
class LibraryCancellingLogger : public Logger
{
public:
    LibraryCancellingLogger(ProgressObject *progress, quint32 code, int nth) : m_progress(progress), m_code(code), m_nth(nth)
    {
        setRegistered(true);
    }
    ~LibraryCancellingLogger() override { setRegistered(false); }
    void log(const LogMessage &message) override;

private:
    ProgressObject *m_progress;
    quint32 m_code;
    int m_nth;
    std::atomic<int> m_seen = 0;
};
