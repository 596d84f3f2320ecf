#pragma once

#include <QString>
#include <QStringList>

// Times reading a folder tree of audio files as the program reads them (tags and audio
// properties through AudioFile), and the raw I/O any reader needs for the same files.
class ReadBench
{
public:
    struct Pass {
        double seconds = 0.0;
        int errors = 0;
        qint64 peakKiB = 0; // the process's peak resident memory when the pass ended
    };

    // Every supported file under the folder, sorted.
    static QStringList audioFiles(const QString &folder);
    // Opens each file, reads its first 64 KiB and its last 256 bytes, and closes it.
    static Pass baseline(const QStringList &files, int threads);
    // Reads each file's tags and audio properties through its own AudioFile.
    static Pass read(const QStringList &files, int threads);
    // The largest resident set of the process so far (getrusage); 0 when unknown.
    static qint64 peakMemoryKiB();

private:
    template<class Work>
    static Pass run(const QStringList &files, int threads, Work work);
};
