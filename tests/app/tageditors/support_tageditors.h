#pragma once

#include <QList>
#include <QPair>
#include <QStringList>
#include <QVariant>

#include "app/operations/audiofileselection.h"
#include "app/shell/headlessmainwindow.h"

class AudioFile;
class OperationQueue;

// The main window's services over hand-made files that never touch the disk: each file's
// combined tag is built from (item type, value) pairs. Files are inserted through the undo
// queue, which is cleared afterwards, so the queue holds exactly what the test applies.
struct EditorTable {
    EditorTable();

    // A file with the values (no combined tag for an empty list), inserted into the table.
    AudioFile *addFile(const QList<QPair<int, QVariant>> &values = {});
    // One file per value (an invalid value: the file has no item of the type).
    QList<AudioFile *> addFiles(int itemType, const QVariantList &values);
    // The cells of the item type's column for the files.
    AudioFileSelection cells(const QList<AudioFile *> &files, int itemType) const;
    OperationQueue &queue() const;
    int undoCount() const;

    HeadlessMainWindow window;
};

// Mounts the packages, chooses English and registers the item and editor types, once.
void initTagEditorTests();

// The texts of the file's combined items of the type; "<no tag>" when it has no combined tag.
QStringList itemTexts(AudioFile *file, int itemType);

// Runs the action once a modal dialog is up (polled by a timer); it gets the modal widget.
#include <functional>
class QWidget;
void whenModalShown(const std::function<void(QWidget *)> &action);
