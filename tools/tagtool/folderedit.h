#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include "tools/tagtool/tagedit.h"

// `tagtool edit`: the load-edit-undo-save road of the program run on one folder. The folder
// is read into the headless main window's model as the program reads it, the edits become
// one update of every loaded file through the undo queue, which may then be undone, and the
// modified files are saved by the writer threads.
class FolderEdit
{
public:
    // Reads the options after the folder. Throws a coded Exception as TagEdit::parse does,
    // or when no edit is given.
    static FolderEdit parse(const QString &folder, const QStringList &arguments);
    // Needs a QApplication. Prints one object per loaded file, in path order: "path",
    // "changed" (item type to {"old", "new"} values), "saved" and "error" (null, or why the
    // file was not saved). Throws a coded Exception when the folder holds no audio file or an
    // edit does not apply; nothing is changed then. False when a file was not saved.
    bool run(const std::function<void(const QJsonObject &)> &print) const;

    QString folder;
    QList<TagEdit> edits;
    bool undo = false;
    bool save = false;
};
