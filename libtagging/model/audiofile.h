#pragma once

#include <QList>
#include <QString>

#include "libtagging/model/audiostream.h"

// An audio stream over a file path; the file is opened only while it is read or written.
class AudioFile : public AudioStream
{
    Q_OBJECT
public:
    explicit AudioFile(const QString &path, QObject *parent = nullptr);

    // Whether a registered file type (the record of unsupported formats included) has the
    // path's suffix.
    static bool isSupported(const QString &path);
    // "name" for one file, "n files" otherwise.
    static QString filesCaption(const QList<AudioFile *> &files);
};
