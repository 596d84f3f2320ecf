#include "app/dialogs/support_dialogs.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include "app/model/audiofilemodeldata.h"
#include "app/operations/audiofileselection.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "libgui/icons/icons.h"
#include "libcore/settings/settingsstore.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"

void loadDialogTestPackages()
{
    loadModelTexts();
    for (const QString &root : {QStringLiteral(":/libgui/icons"), QStringLiteral(":/app/icons")}) {
        if (!iconRootDirectories().contains(root))
            iconRootDirectories().append(root);
    }
    SettingsStore::loadDefaultsFile(QStringLiteral(MELO_SOURCE_DIR "/app/resources/settings/defaults.xml"));
}

LoadedFiles::LoadedFiles()
{
    // Undo and redo of file-system steps ask first.
    window.answer = QMessageBox::Yes;
}

AudioFile *LoadedFiles::add(const QString &relative, const QList<QPair<int, QVariant>> &items)
{
    AudioFile *file = factory.create(relative, items);
    auto *insert = new ModelInsertOperation(AudioFileSelection(window.model()));
    insert->files = {file};
    window.operationQueue()->apply(insert);
    return file;
}

void LoadedFiles::selectAll()
{
    *window.selection() = AudioFileSelection(window.model());
    const QSet<AudioFile *> loaded = window.store()->loadedFiles();
    window.selection()->insert(QList<AudioFile *>(loaded.cbegin(), loaded.cend()), {ModelDataType(1, 1)});
}

QStringList LoadedFiles::table() const
{
    QStringList result;
    const QDir dir(folder());
    for (AudioFile *file : window.store()->loadedFiles())
        result.append(dir.relativeFilePath(file->filePath())
                      + (QFileInfo::exists(file->filePath()) ? QString() : QStringLiteral(" (missing)")));
    result.sort();
    return result;
}

QStringList LoadedFiles::disk() const
{
    QStringList result;
    const QDir dir(folder());
    QDirIterator it(folder(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        result.append(dir.relativeFilePath(it.next()));
    result.sort();
    return result;
}

void LoadedFiles::modify(AudioFile *file, const QString &title)
{
    AudioFileSelection cells(window.model());
    cells.insertCell(file, ModelDataType(0, TagItemType::Title));
    auto *update = new ModelUpdateOperation(cells);
    AudioTag *tag = update->workingTag(file);
    tag->removeItems(TagItemType::Title);
    tag->addItem(makeModelItem(TagItemType::Title, title));
    window.operationQueue()->apply(update);
}
