#include "app/dialogs/copymovedialog.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/dialogs/filesystempreviewwidget.h"
#include "app/dialogs/folderpatterneditorwidget.h"
#include "app/dialogs/namingtargets.h"
#include "app/operations/audiofileselection.h"
#include "app/operations/compoundoperation.h"
#include "app/operations/filesystemoperation.h"
#include "app/operations/movefilesoperation.h"
#include "app/operations/operationqueue.h"
#include "app/shell/iappmainwindow.h"
#include "app/tagscript/namingpattern.h"
#include "app/tagscript/patterncleanup.h"
#include "app/tagscript/scriptvariables.h"
#include "app/tagscript/tagscript.h"
#include "libgui/icons/icons.h"
#include "libcore/io/fileinfo.h"
#include "libcore/io/paths.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/formatting.h"
#include "libcore/text/textmatching.h"
#include "libcore/text/texttable.h"
#include "libgui/progress/dialogsizehints.h"
#include "libtagging/model/audiofile.h"

using namespace NamingTargets;

namespace {

const QString pathKeyName = QStringLiteral("copyMoveDialog/path");
const QString patternKeyName = QStringLiteral("copyMoveDialog/pattern");

} // namespace

CopyMoveDialog::CopyMoveDialog(bool copy, QWidget *parent, Qt::WindowFlags flags)
    : CommonDialog(parent, flags),
      m_copy(copy),
      m_patternEditor(new FolderPatternEditorWidget(true)),
      m_preview(new FileSystemPreviewWidget)
{
    m_previewTimer.setSingleShot(true);
    auto *layout = new QVBoxLayout;
    setContentLayout(layout);
    setWindowIcon(loadIcon(copy ? QStringLiteral("copyToFolder") : QStringLiteral("moveToFolder")));
    setWindowTitle(upperCaseFirst(textForId(copy ? CopyTitleTextId : MoveTitleTextId)));
    escapeMode = EscapeAsks;

    auto *patternGroup = new QGroupBox(upperCaseFirst(textForId(CopyMovePatternGroupTextId)));
    auto *patternLayout = new QVBoxLayout(patternGroup);
    patternLayout->setAlignment(Qt::AlignTop);
    auto *explanation = new QLabel(upperCaseFirst(textForId(CopyMoveExplanationTextId)));
    explanation->setWordWrap(true);
    patternLayout->addWidget(explanation);
    patternLayout->addSpacing(14);
    m_patternEditor->setMinimumWidth(400);
    m_patternEditor->setRootPath(SettingsStore::value(pathKeyName));
    m_patternEditor->setPattern(loadNamingPattern(patternKeyName));
    connect(m_patternEditor, &CombinedPatternEditorWidget::patternChanged, this, &CopyMoveDialog::updateGui);
    patternLayout->addWidget(m_patternEditor);
    layout->addWidget(patternGroup);

    auto *previewGroup = new QGroupBox(upperCaseFirst(textForId(PreviewTitleTextId)));
    auto *previewLayout = new QVBoxLayout(previewGroup);
    m_preview->setMinimumSize(400, 400);
    previewLayout->addWidget(m_preview);
    layout->addWidget(previewGroup);

    connect(&m_previewTimer, &QTimer::timeout, this, &CopyMoveDialog::updatePreview);
    m_previewTimer.start(150);
    updateDialogGui();
}

CopyMoveDialog::~CopyMoveDialog() = default;

QSize CopyMoveDialog::sizeHint() const
{
    return wideDialogSizeHint();
}

void CopyMoveDialog::updateGui()
{
    m_previewTimer.start(150);
    updateDialogGui();
}

QString CopyMoveDialog::patternText() const
{
    QString text;
    for (const QStringList &level : m_patternEditor->pattern().levels)
        text += level.join(QString()).trimmed() + QLatin1Char('/');
    return text;
}

QString CopyMoveDialog::targetFolder(AudioFile *file, TsExpression *expression, bool withRoot) const
{
    QString folder = evaluateToFileName(expression, file);
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    folder = withoutTrailingSlash(folder);
    if (SettingsStore::boolValue(QStringLiteral("fileNaming/trimSeparators")))
        folder = cleanUpPatternResult(folder, true);
    // Values like ".." must not lead out of the root folder.
    folder = withoutDotComponents(folder);
    while (folder.startsWith(QLatin1Char('/')))
        folder.remove(0, 1);
    if (withRoot)
        folder = withTrailingSlash(m_patternEditor->rootPath()) + folder;
    return sanitizePath(folder);
}

QHash<AudioFile *, QString> CopyMoveDialog::computeTargets(bool withRoot)
{
    QObject parent;
    TsExpression *expression = parseTagScript(patternText(), &parent);
    resetScriptCounters();
    m_highlightedPaths.clear();
    m_order = filesInOrder(currentSelection());
    const QString root = m_patternEditor->rootPath();
    const Qt::CaseSensitivity sensitivity = isFileSystemCaseSensitive();
    QSet<QString> taken;
    QHash<AudioFile *, QString> result;
    for (AudioFile *file : std::as_const(m_order)) {
        const QString folder = targetFolder(file, expression, withRoot);
        const QString name = QFileInfo(withoutTrailingSlash(file->filePath())).fileName();
        const QString base = folder.isEmpty() ? name : withTrailingSlash(folder) + name;
        QString candidate;
        QString key;
        int i = 1;
        for (;; ++i) {
            candidate = numberedCandidate(base, i);
            const QString full = withRoot ? candidate : withTrailingSlash(root) + candidate;
            key = pathKey(candidate);
            if (taken.contains(key))
                continue;
            // A copy never lands on an existing file, not even its own source.
            if (!QFileInfo::exists(withoutTrailingSlash(full))
                || (!m_copy && equalStrings(file->filePath(), full, sensitivity)))
                break;
        }
        result.insert(file, candidate);
        if (i > 1) {
            m_highlightedPaths.insert(base);
            m_highlightedPaths.insert(candidate);
        }
        taken.insert(key);
    }
    return result;
}

void CopyMoveDialog::updatePreview()
{
    m_previewPaths.clear();
    m_preview->clear();
    try {
        const QHash<AudioFile *, QString> targets = computeTargets(false);
        for (AudioFile *file : std::as_const(m_order))
            m_previewPaths.append(targets.value(file));
        m_preview->setPaths(m_previewPaths, m_patternEditor->rootPath());
        FileSystemPreviewWidget::clearItemColors(m_preview->invisibleRootItem());
        for (const QString &path : std::as_const(m_highlightedPaths))
            m_preview->setPathColor(path, collisionColor());
    } catch (const Exception &) {
        // The validation reports the pattern.
    }
    updateDialogGui();
}

ValidationResult CopyMoveDialog::validate()
{
    ValidationResult result;
    const QString root = m_patternEditor->rootPath();
    if (root.isEmpty())
        result.messages.append(ValidationMessage(Error, upperCaseFirst(textForId(CopyMoveNoRootTextId))));
    else if (!isAbsolutePath(root))
        result.messages.append(ValidationMessage(Error, upperCaseFirst(textForId(CopyMoveRelativeRootTextId))));
    else if (!QFileInfo::exists(withoutTrailingSlash(root)))
        result.messages.append(ValidationMessage(Info, upperCaseFirst(textForId(CopyMoveMissingRootTextId))));
    try {
        QObject parent;
        parseTagScript(patternText(), &parent);
    } catch (const Exception &e) {
        result.messages.append(ValidationMessage(Error, e.message()));
    }
    if (!m_highlightedPaths.isEmpty())
        result.messages.append(ValidationMessage(Warning, upperCaseFirst(textForId(CollisionWarningTextId))));
    result.messages.append(ValidationMessage(
        Info, upperCaseFirst(textForId(EffectInformationTextId)
                                 .arg(textForId(m_copy ? CopyingTextId : RenamingOrMovingTextId),
                                      textForId(m_copy ? CopiesNotListedTextId : NewPathsShownTextId)))));
    for (const ValidationMessage &message : std::as_const(result.messages)) {
        if (message.level == Error)
            result.valid = false;
    }
    return result;
}

void CopyMoveDialog::accept()
{
    IAppMainWindow *window = IAppMainWindow::instance();
    BufferedLogger logger;
    QHash<AudioFile *, QString> targets;
    try {
        targets = computeTargets(true);
    } catch (const Exception &) {
        Logger::error(CopyMoveTargetsFailedTextId);
        if (window)
            window->showLogMessages(&logger);
        return;
    }
    if (!saveModifiedFirst(m_order, windowTitle(), logger))
        return;
    QDialog::accept();
    SettingsStore::setValue(pathKeyName, m_patternEditor->rootPath());
    saveNamingPattern(m_patternEditor->pattern(), patternKeyName);
    try {
        if (window)
            SettingsStore::saveFile(window->settingsFilePath());
    } catch (const Exception &) {
        Logger::error(CopyMoveSettingsNotSavedTextId);
    }
    logger.clear();

    const AudioFileSelection selection = currentSelection();
    CompoundOperation *operation = nullptr;
    FileSystemOperation *fileSystem = nullptr;
    MoveFilesOperation *move = nullptr;
    if (m_copy) {
        operation = new CompoundOperation;
        fileSystem = new FileSystemOperation;
        operation->addOperation(fileSystem);
    } else {
        move = new MoveFilesOperation(selection);
        operation = move;
        fileSystem = move->fileSystemOperation();
    }
    QSet<QString> createdFolders;
    for (AudioFile *file : std::as_const(m_order)) {
        const QString target = targets.value(file);
        if (target.isEmpty())
            continue;
        // A move onto itself is no step: the file and its row stay as they are.
        if (!m_copy && target == file->filePath())
            continue;
        const QString folder = parentPath(target);
        for (qsizetype slash = folder.indexOf(QLatin1Char('/')); ; slash = folder.indexOf(QLatin1Char('/'), slash + 1)) {
            const QString prefix = withTrailingSlash(slash < 0 ? folder : folder.left(slash));
            const QString key = pathKey(prefix);
            if (!withoutTrailingSlash(prefix).isEmpty() && !isRootPath(prefix) && !createdFolders.contains(key)
                && !QFileInfo::exists(withoutTrailingSlash(prefix))) {
                fileSystem->addCreateFolder(prefix);
                createdFolders.insert(key);
            }
            if (slash < 0)
                break;
        }
        if (m_copy)
            fileSystem->addCopyFile(file->filePath(), target);
        else
            move->addMove(file, cloneAt(file, target));
    }
    operation->setDescription(textForId(m_copy ? CopyDescriptionTextId : MoveDescriptionTextId)
                                  .arg(QString::number(m_order.size())));
    if (window && window->operationQueue())
        window->operationQueue()->apply(operation);
    else
        delete operation;

    if (logger.lastError().level == NoLevel)
        Logger::logToAll(LogMessage(m_copy ? CopyDoneTextId : MoveDoneTextId, Info, {int(m_order.size())}));
    else
        Logger::logToAll(LogMessage(m_copy ? CopyFailedTextId : MoveFailedTextId, Error, {}));
    if (window)
        window->showLogMessages(&logger);
}
