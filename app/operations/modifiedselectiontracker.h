#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>

#include "app/operations/audiofileselection.h"

class AudioFile;
class AudioTag;
class IAudioFileModel;
class Operation;
class OperationQueue;

// Knows which cells hold unsaved changes: it keeps each file's combined tag as it was
// loaded or last saved, and after every change of the undo queue compares the cells that
// change touched against it. Only tag item cells are ever modified. GUI thread only.
// Until a file's tag is first replaced, its saved state is its current tag: the tracker
// keeps the tag the store replaces then, instead of a copy of every tag from the start.
class ModifiedSelectionTracker : public QObject
{
    Q_OBJECT
public:
    ModifiedSelectionTracker(IAudioFileModel *model, OperationQueue *queue, QObject *parent = nullptr);

    AudioFileSelection modifiedSelection() const { return m_modifiedSelection; }
    // The file's combined tag at loading or its last save; null when it had none or the
    // tracker does not know the file. Owned by the tracker, or the file's own tag while it
    // is unchanged.
    AudioTag *savedTag(AudioFile *file) const;
    // The files were written: their state now is the saved one.
    void markSaved(const QList<AudioFile *> &files);

Q_SIGNALS:
    void modifiedSelectionChanged();

public Q_SLOTS:
    void onAudioFileLoaded(AudioFile *audioFile);
    void onAudioFileAboutToBeDeleted(AudioFile *audioFile);
    void onCombinedTagReplaced(AudioFile *audioFile, AudioTag *previous);
    void onOperationQueueChanged(Operation *operation);

private:
    // The file's current tag is its saved state from now on.
    void markUnchanged(AudioFile *file);
    void updateForOperation(Operation *operation);

    AudioFileSelection m_modifiedSelection;
    // Every file known; the saved tags of those changed since (null: it had none).
    QSet<AudioFile *> m_files;
    QHash<AudioFile *, AudioTag *> m_savedTags;
};
