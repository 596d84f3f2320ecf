#include "tools/tagtool/folderedit.h"

#include <QDir>
#include <QHash>
#include <QJsonArray>
#include <QSet>

#include "app/model/audiofileloading.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/audiofilewriterthread.h"
#include "app/operations/audiofileselection.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/modifiedselectiontracker.h"
#include "app/operations/operationqueue.h"
#include "app/shell/headlessmainwindow.h"
#include "libcore/log/exception.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "tools/tagtool/tagreport.h"

#include <algorithm>
#include <memory>

namespace {
const quint32 NoEdits = 3702911845u;
const quint32 NoAudioFiles = 1276904733u;

// {"item type": {"old": [...], "new": [...]}} for the item types whose values differ.
QJsonObject changes(const AudioTag *before, const AudioTag *after)
{
    const QJsonObject old = TagReport::itemsByType(before);
    const QJsonObject now = TagReport::itemsByType(after);
    QStringList keys = old.keys() + now.keys();
    keys.removeDuplicates();
    QJsonObject result;
    for (const QString &key : std::as_const(keys)) {
        const QJsonArray oldValues = old.value(key).toArray();
        const QJsonArray newValues = now.value(key).toArray();
        if (oldValues != newValues)
            result.insert(key, QJsonObject{{QStringLiteral("old"), oldValues}, {QStringLiteral("new"), newValues}});
    }
    return result;
}
} // namespace

FolderEdit FolderEdit::parse(const QString &folder, const QStringList &arguments)
{
    FolderEdit result;
    result.folder = folder;
    QStringList rest;
    for (const QString &argument : arguments) {
        if (argument == u"--undo")
            result.undo = true;
        else if (argument == u"--save")
            result.save = true;
        else
            rest.append(argument);
    }
    result.edits = TagEdit::parse(rest);
    if (result.edits.isEmpty())
        throw Exception(NoEdits, {}, false);
    return result;
}

bool FolderEdit::run(const std::function<void(const QJsonObject &)> &print) const
{
    HeadlessMainWindow window;
    // The questions of a large load get their default answers: nothing waits for a user.
    addFolders({QDir(folder).absolutePath()}, true);
    QList<AudioFile *> files = window.store()->loadedFiles().values();
    if (files.isEmpty())
        throw Exception(NoAudioFiles, {QDir::toNativeSeparators(folder)}, false);
    std::sort(files.begin(), files.end(), audioFilePathLessThan);

    auto update = std::make_unique<ModelUpdateOperation>(AudioFileSelection(window.model()));
    for (AudioFile *file : std::as_const(files))
        TagEdit::applyAll(edits, update->workingTag(file));
    QHash<AudioFile *, QJsonObject> changed;
    for (AudioFile *file : std::as_const(files))
        changed.insert(file, changes(update->snapshotTag(file), update->workingTag(file)));
    window.operationQueue()->apply(update.release());
    if (undo)
        window.operationQueue()->undo();

    QSet<AudioFile *> modified;
    for (AudioFile *file : window.modifiedSelectionTracker()->modifiedSelection().dataTypesByFile().keys())
        modified.insert(file);
    bool allSaved = true;
    QHash<QString, QString> errors;
    if (save && !modified.isEmpty()) {
        QList<AudioFile *> toSave;
        for (AudioFile *file : std::as_const(files)) {
            if (modified.contains(file))
                toSave.append(file);
        }
        allSaved = saveAudioFiles(toSave, false);
        for (const QList<LogMessage> &shown : std::as_const(window.shownMessages)) {
            for (const LogMessage &message : shown) {
                if (message.code == FileNotSavedTextId)
                    errors.insert(message.arguments.value(0).toString(), message.text());
            }
        }
    }
    const QHash<AudioFile *, QSet<ModelDataType>> stillModified =
        window.modifiedSelectionTracker()->modifiedSelection().dataTypesByFile();

    for (AudioFile *file : std::as_const(files)) {
        const QString native = QDir::toNativeSeparators(file->filePath());
        const bool saved = save && modified.contains(file) && !stillModified.contains(file);
        QJsonValue error = QJsonValue::Null;
        if (save && modified.contains(file) && !saved)
            error = errors.value(native, native);
        print(QJsonObject{{QStringLiteral("path"), file->filePath()},
                          {QStringLiteral("changed"), changed.value(file)},
                          {QStringLiteral("undone"), undo},
                          {QStringLiteral("saved"), saved},
                          {QStringLiteral("error"), error}});
    }
    return allSaved;
}
