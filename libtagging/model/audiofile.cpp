#include "libtagging/model/audiofile.h"

#include "libcore/io/iostream.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libtagging/model/filetype.h"

namespace {
const quint32 OneFileCaption = 1713776559u;
const quint32 FileCountCaption = 42080409u;
}

AudioFile::AudioFile(const QString &path, QObject *parent) : AudioStream(new IoStream(path), parent) {}

bool AudioFile::isSupported(const QString &path)
{
    IoStream stream(path);
    return FileType::detect(&stream) != nullptr;
}

QString AudioFile::filesCaption(const QList<AudioFile *> &files)
{
    if (files.size() == 1) {
        QString text = textForId(OneFileCaption);
        return argInPlace(text, files.first()->fileName());
    }
    QString text = textForId(FileCountCaption);
    return argInt(text, int(files.size()));
}
