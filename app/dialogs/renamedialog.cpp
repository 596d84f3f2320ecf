#include "app/dialogs/renamedialog.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/dialogs/filepatterneditorwidget.h"
#include "app/dialogs/filesystempreviewwidget.h"
#include "app/dialogs/namingtargets.h"
#include "app/operations/audiofileselection.h"
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

const QString patternKey = QStringLiteral("renameDialog/pattern");

} // namespace

RenameDialog::RenameDialog(QWidget *parent, Qt::WindowFlags flags)
    : CommonDialog(parent, flags), m_patternEditor(new FilePatternEditorWidget), m_preview(new FileSystemPreviewWidget)
{
    m_previewTimer.setSingleShot(true);
    auto *layout = new QVBoxLayout;
    setContentLayout(layout);
    setWindowIcon(loadIcon(QStringLiteral("rename")));
    setWindowTitle(upperCaseFirst(textForId(RenameTitleTextId)));
    escapeMode = EscapeAsks;

    auto *patternGroup = new QGroupBox(upperCaseFirst(textForId(RenamePatternGroupTextId)));
    auto *patternLayout = new QVBoxLayout(patternGroup);
    patternLayout->setAlignment(Qt::AlignTop);
    auto *explanation = new QLabel(upperCaseFirst(textForId(RenameExplanationTextId)));
    explanation->setWordWrap(true);
    patternLayout->addWidget(explanation);
    patternLayout->addSpacing(14);
    m_patternEditor->setMinimumWidth(400);
    m_patternEditor->setPattern(loadNamingPattern(patternKey));
    connect(m_patternEditor, &CombinedPatternEditorWidget::patternChanged, this, &RenameDialog::updateGui);
    patternLayout->addWidget(m_patternEditor);
    layout->addWidget(patternGroup);

    auto *previewGroup = new QGroupBox(upperCaseFirst(textForId(PreviewTitleTextId)));
    auto *previewLayout = new QVBoxLayout(previewGroup);
    m_preview->setMinimumSize(400, 400);
    previewLayout->addWidget(m_preview);
    layout->addWidget(previewGroup);

    connect(&m_previewTimer, &QTimer::timeout, this, &RenameDialog::updatePreview);
    m_previewTimer.start(150);
    updateDialogGui();
}

RenameDialog::~RenameDialog() = default;

QSize RenameDialog::sizeHint() const
{
    return wideDialogSizeHint();
}

void RenameDialog::updateGui()
{
    m_previewTimer.start(150);
    updateDialogGui();
}

QString RenameDialog::patternText() const
{
    QString text;
    for (const QStringList &level : m_patternEditor->pattern().levels)
        text += level.join(QString()).trimmed();
    return text;
}

QString RenameDialog::targetPath(AudioFile *file, const QString &path, TsExpression *expression, bool withFolder,
                                 bool trim) const
{
    QString name = evaluateToFileName(expression, file);
    if (trim)
        name = cleanUpPatternResult(name, false);
    const QString suffix = QFileInfo(withoutTrailingSlash(path)).suffix();
    name = sanitizeFileName(name + QLatin1Char('.') + suffix);
    return withFolder ? withTrailingSlash(parentPath(path)) + name : name;
}

void RenameDialog::computeTargets()
{
    QObject parent;
    TsExpression *expression = parseTagScript(patternText(), &parent);
    resetScriptCounters();
    m_targets.clear();
    m_highlightedPaths.clear();
    const QList<QPair<AudioFile *, QString>> files = filesWithPaths(currentSelection());
    m_order.clear();
    m_order.reserve(files.size());
    m_targets.reserve(files.size());
    const Qt::CaseSensitivity sensitivity = isFileSystemCaseSensitive();
    const bool trim = SettingsStore::boolValue(QStringLiteral("fileNaming/trimSeparators"));
    QSet<QString> taken;
    taken.reserve(files.size());
    for (const auto &[file, path] : files) {
        m_order.append(file);
        const QString wanted = targetPath(file, path, expression, true, trim);
        QString candidate;
        QString key;
        int i = 1;
        for (;; ++i) {
            candidate = numberedCandidate(wanted, i);
            key = pathKey(candidate);
            if (taken.contains(key))
                continue;
            // The file's own path is free for it: a name that stays, or changes case only.
            if (!QFileInfo::exists(withoutTrailingSlash(candidate))
                || equalStrings(path, candidate, sensitivity))
                break;
        }
        m_targets.insert(file, candidate);
        if (i > 1) {
            m_highlightedPaths.insert(wanted);
            m_highlightedPaths.insert(candidate);
        }
        taken.insert(key);
    }
}

void RenameDialog::updatePreview()
{
    bool ok = false;
    try {
        computeTargets();
        ok = !m_targets.isEmpty() && !patternText().isEmpty();
    } catch (const Exception &) {
        ok = false;
    }
    if (!ok) {
        m_preview->clear();
    } else {
        QList<QStringList> lists;
        lists.reserve(m_order.size());
        for (AudioFile *file : std::as_const(m_order))
            lists.append(m_targets.value(file).split(QLatin1Char('/')));
        const int n = commonPrefixLength(lists);
        const QString root = lists.first().mid(0, n).join(QLatin1Char('/'));
        const auto relative = [n](const QString &path) {
            return path.split(QLatin1Char('/')).mid(n).join(QLatin1Char('/'));
        };
        QStringList paths;
        paths.reserve(lists.size());
        for (const QStringList &list : std::as_const(lists))
            paths.append(list.mid(n).join(QLatin1Char('/')));
        m_preview->setPaths(paths, root);
        FileSystemPreviewWidget::clearItemColors(m_preview->invisibleRootItem());
        for (const QString &path : std::as_const(m_highlightedPaths))
            m_preview->setPathColor(relative(path), collisionColor());
    }
    updateDialogGui();
}

ValidationResult RenameDialog::validate()
{
    ValidationResult result;
    const QString text = patternText();
    if (!text.isEmpty()) {
        try {
            QObject parent;
            parseTagScript(text, &parent);
        } catch (const Exception &e) {
            result.messages.append(ValidationMessage(Error, e.message()));
        }
        if (!m_highlightedPaths.isEmpty())
            result.messages.append(ValidationMessage(Warning, upperCaseFirst(textForId(CollisionWarningTextId))));
    } else {
        result.messages.append(ValidationMessage(Error, upperCaseFirst(textForId(RenameEmptyPatternTextId))));
    }
    result.messages.append(ValidationMessage(
        Info, upperCaseFirst(textForId(EffectInformationTextId)
                                 .arg(textForId(RenamingOrMovingTextId), textForId(NewPathsShownTextId)))));
    for (const ValidationMessage &message : std::as_const(result.messages)) {
        if (message.level == Error)
            result.valid = false;
    }
    return result;
}

void RenameDialog::accept()
{
    IAppMainWindow *window = IAppMainWindow::instance();
    BufferedLogger logger;
    try {
        computeTargets();
    } catch (const Exception &) {
        Logger::error(RenameTargetsFailedTextId);
        if (window)
            window->showLogMessages(&logger);
        return;
    }
    if (!saveModifiedFirst(m_order, windowTitle(), logger))
        return;
    QDialog::accept();

    saveNamingPattern(m_patternEditor->pattern(), patternKey);
    try {
        if (window)
            SettingsStore::saveFile(window->settingsFilePath());
    } catch (const Exception &) {
        Logger::error(RenameSettingsNotSavedTextId);
    }
    logger.clear();

    const AudioFileSelection selection = currentSelection();
    auto *operation = new MoveFilesOperation(selection);
    for (AudioFile *file : std::as_const(m_order)) {
        const QString target = m_targets.value(file);
        // A name that stays is no step: the file and its row are left alone.
        if (target.isEmpty() || target == file->filePath())
            continue;
        operation->addMove(file, cloneAt(file, target));
    }
    operation->setDescription(textForId(RenameDescriptionTextId).arg(QString::number(m_order.size())));
    if (window && window->operationQueue()) {
        window->operationQueue()->apply(operation);
    } else {
        delete operation;
    }

    if (logger.lastError().level == NoLevel)
        Logger::logToAll(LogMessage(RenameDoneTextId, Info, {int(m_order.size())}));
    else
        Logger::logToAll(LogMessage(RenameFailedTextId, Error, {}));
    if (window)
        window->showLogMessages(&logger);
}
