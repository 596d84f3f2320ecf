#include "app/dialogs/namingtargets.h"

#include <QColor>
#include <QFileInfo>

#include "app/model/audiofileloading.h"
#include "app/operations/audiofileselection.h"
#include "app/operations/modifiedselectiontracker.h"
#include "app/shell/iappmainwindow.h"
#include "libcore/io/fileinfo.h"
#include "libcore/io/paths.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/text/formatting.h"
#include "libcore/text/textmatching.h"
#include "libcore/text/texttable.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

namespace NamingTargets {

AudioFileSelection currentSelection()
{
    IAppMainWindow *window = IAppMainWindow::instance();
    return window && window->selection() ? *window->selection() : AudioFileSelection();
}

QColor collisionColor()
{
    return QColor(254, 243, 218);
}

QList<AudioFile *> filesInOrder(const AudioFileSelection &selection)
{
    QList<AudioFile *> files = selection.dataTypesByFile().keys();
    std::stable_sort(files.begin(), files.end(), [](const AudioFile *a, const AudioFile *b) {
        const QString pa = a->filePath();
        const QString pb = b->filePath();
        // Plain comparison first: locale-aware collation is slow for thousands of files
        // and can call different paths equal.
        return pa < pb;
    });
    return files;
}

QString numberedCandidate(const QString &base, int i)
{
    if (i <= 1)
        return base;
    return QStringLiteral("%1 (%2).%3")
        .arg(removeSuffix(base), QString::number(i), QFileInfo(withoutTrailingSlash(base)).suffix());
}

QString pathKey(const QString &path)
{
    return isFileSystemCaseSensitive() == Qt::CaseSensitive ? path : path.toLower();
}

int commonPrefixLength(const QList<QStringList> &lists)
{
    if (lists.isEmpty())
        return 0;
    const Qt::CaseSensitivity sensitivity = isFileSystemCaseSensitive();
    const QStringList &first = lists.first();
    int count = 0;
    for (;;) {
        for (const QStringList &list : lists) {
            if (list.size() <= count + 1 || !equalStrings(list.at(count), first.at(count), sensitivity))
                return count;
        }
        ++count;
    }
}

AudioFile *cloneAt(AudioFile *file, const QString &path)
{
    auto *copy = new AudioFile(path);
    const QMap<int, AudioTag *> &tags = file->tags();
    for (auto it = tags.cbegin(); it != tags.cend(); ++it) {
        if (it.value())
            copy->setTag(it.value()->clone(copy), it.key());
    }
    return copy;
}

bool saveModifiedFirst(const QList<AudioFile *> &files, const QString &title, BufferedLogger &logger)
{
    Q_UNUSED(title)
    IAppMainWindow *window = IAppMainWindow::instance();
    if (!window || !window->modifiedSelectionTracker())
        return true;
    const AudioFileSelection modifiedSelection = window->modifiedSelectionTracker()->modifiedSelection();
    const QHash<AudioFile *, QSet<ModelDataType>> &modified = modifiedSelection.dataTypesByFile();
    QList<AudioFile *> unsaved;
    for (AudioFile *file : files) {
        if (modified.contains(file))
            unsaved.append(file);
    }
    if (unsaved.isEmpty())
        return true;
    const QString question =
        upperCaseFirst(textForId(SaveFirstQuestionTextId).arg(QString::number(unsaved.size())));
    if (window->askQuestion(question, QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Save)
        != QMessageBox::Save)
        return false;
    if (!saveAudioFiles(unsaved, false)) {
        window->showLogMessages(&logger);
        return false;
    }
    return true;
}

} // namespace NamingTargets
