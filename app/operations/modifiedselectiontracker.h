#pragma once

#include <QHash>
#include <QList>
#include <QObject>

#include "app/operations/audiofileselection.h"

class AudioFile;
class AudioTag;
class IAudioFileModel;
class Operation;
class OperationQueue;

// Knows which cells hold unsaved changes: it keeps each file's combined tag as it was
// loaded or last saved, and after every change of the undo queue compares the cells that
// change touched against it. Only tag item cells are ever modified. GUI thread only.
class ModifiedSelectionTracker : public QObject
{
    Q_OBJECT
public:
    ModifiedSelectionTracker(IAudioFileModel *model, OperationQueue *queue, QObject *parent = nullptr);

    AudioFileSelection modifiedSelection() const { return m_modifiedSelection; }
    // The file's combined tag at loading or its last save; null when it had none. The
    // tracker keeps it.
    AudioTag *savedTag(AudioFile *file) const { return m_savedTags.value(file); }
    // The files were written: their state now is the saved one.
    void markSaved(const QList<AudioFile *> &files);

Q_SIGNALS:
    void modifiedSelectionChanged();

public Q_SLOTS:
    void onAudioFileLoaded(AudioFile *audioFile);
    void onAudioFileAboutToBeDeleted(AudioFile *audioFile);
    void onOperationQueueChanged(Operation *operation);

private:
    void takeSnapshot(AudioFile *file);
    void updateForOperation(Operation *operation);

    AudioFileSelection m_modifiedSelection;
    QHash<AudioFile *, AudioTag *> m_savedTags;
};
