#include "app/model/audiofilewriterthread.h"

#include <QDir>

#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/progress/linearprogressobject.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/taggingsettings.h"

AudioFileWriterThread::AudioFileWriterThread(const QList<AudioFile *> &files, QObject *parent)
    : ProgressThread(parent), audioFiles(files), progress(new LinearProgressObject)
{
    progressObject()->addChild(progress, 1.0, true);
    progress->setMaximum(int(files.size()));
}

AudioFileWriterThread::~AudioFileWriterThread()
{
    cancelAndWait();
}

void AudioFileWriterThread::run()
{
    static const QString group = QStringLiteral("tagging");
    const TaggingSettings settings = TaggingSettings::load(group);
    for (AudioFile *file : std::as_const(audioFiles)) {
        try {
            file->taggingSettings = settings;
            file->writeTags(0);
            savedAudioFiles.append(file);
        } catch (const Exception &) {
            Logger::error(FileNotSavedTextId, {QDir::toNativeSeparators(file->filePath())});
        }
        if (progress->isCanceled())
            return;
        progress->advance(1);
    }
    progressObject()->finish();
}
