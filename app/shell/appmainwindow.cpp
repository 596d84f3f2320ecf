#include "app/shell/appmainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "app/model/audiofilemodel.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/audiofileproxymodel.h"
#include "app/model/audiofileloading.h"
#include "app/operations/modifiedselectiontracker.h"
#include "app/operations/operation.h"
#include "libtagging/model/audiotag.h"
#include "app/operations/operationqueue.h"
#include "app/search/searchhandler.h"
#include "app/search/searchresult.h"
#include "app/shell/application.h"
#include "app/shell/displayfilterdockwidget.h"
#include "app/shell/findreplacedockwidget.h"
#include "app/shell/logdockwidget.h"
#include "app/shell/multitageditordockwidget.h"
#include "app/shell/tageditordockwidget.h"
#include "app/tageditors/tageditorwidget.h"
#include "app/shell/shelltextids.h"
#include "app/tagscript/scriptvariables.h"
#include "libcore/image/codedimage.h"
#include "libgui/icons/icons.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libcore/util/base64.h"
#include "libgui/actions/actiontree.h"
#include "libgui/ribbon/ribbonbar.h"

namespace {
AppMainWindow *g_window = nullptr;
bool g_setUpStarted = false;
} // namespace

AppMainWindow *AppMainWindow::instance()
{
    if (!g_window)
        g_window = new AppMainWindow();
    if (!g_setUpStarted) {
        // Raised first: what set-up calls may ask for the window under construction.
        g_setUpStarted = true;
        g_window->setUp();
    }
    return g_window;
}

AppMainWindow *AppMainWindow::existingInstance()
{
    return g_window;
}

AppMainWindow::AppMainWindow() : QMainWindow(nullptr, {})
{
    setWindowTitleAndIcon();
    IAppMainWindow::setInstance(this);
}

void AppMainWindow::setWindowTitleAndIcon()
{
    setWindowTitle(QApplication::applicationName());
    setWindowIcon(QApplication::windowIcon());
}

void AppMainWindow::setUp()
{
    createModels();
    createServices();
    createGui();
    // The layout of a first start comes with the start-up wizard: until then every start
    // brings back the layout stored at the last close.
    restoreWindowState();
    onSettingsChanged();
    onSelectionUpdated();
    onOperationQueueChanged();
}

void AppMainWindow::restoreWindowState()
{
    const QByteArray state = fromBase64Url(SettingsStore::value(QStringLiteral("appMainWindow/windowState")));
    if (!state.isEmpty())
        restoreState(state, WindowStateVersion);
}

void AppMainWindow::createModels()
{
    auto *data = new AudioFileModelData(this);
    auto *tableModel = new AudioFileModel(data, this);
    auto *proxy = new AudioFileProxyModel(tableModel, this);
    m_model = proxy;
    connect(proxy, &AudioFileProxyModel::selectionUpdated, this, &AppMainWindow::onSelectionUpdated);
    m_selection = AudioFileSelection(m_model);
}

void AppMainWindow::createServices()
{
    m_logger = new BufferedLogger(this);
    m_operationQueue = new OperationQueue(this);
    connect(m_operationQueue, &OperationQueue::changed, this, &AppMainWindow::onOperationQueueChanged);
    m_searchHandler = new SearchHandler(m_model, m_operationQueue, this);
    connect(m_searchHandler, &SearchHandler::queryChanged, this, &AppMainWindow::onSearchQueryChanged);
    m_modifiedSelectionTracker = new ModifiedSelectionTracker(m_model, m_operationQueue, this);
    connect(m_modifiedSelectionTracker, &ModifiedSelectionTracker::modifiedSelectionChanged, this,
            &AppMainWindow::onModifiedSelectionChanged);
}

void AppMainWindow::createGui()
{
    createDocks();
    createTableView();
    createFindReplaceDialog();
    createActionTree();
    createCommandBars();
    createStatusBar();
}

void AppMainWindow::createDocks()
{
    setTabPosition(Qt::AllDockWidgetAreas, QTabWidget::South);
    setCorner(Qt::TopLeftCorner, Qt::LeftDockWidgetArea);
    setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    setCorner(Qt::TopRightCorner, Qt::RightDockWidgetArea);
    setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);

    m_multiTagEditorDock = new MultiTagEditorDockWidget(m_operationQueue, this);
    addDockWidget(Qt::LeftDockWidgetArea, m_multiTagEditorDock);
    m_displayFilterDock = new DisplayFilterDockWidget(this);
    m_displayFilterDock->addBrowsable(m_model->modelData());
    m_displayFilterDock->updateTree();
    m_displayFilterDock->setPath({AudioFileModelData::rootName()});
    addDockWidget(Qt::LeftDockWidgetArea, m_displayFilterDock);
    // The artwork dock needs the artwork editor; without it there is no dock to show.
    if (TagEditorWidget::hasEditor(TagItemType::Artwork, TagEditorWidget::SingleValueMode)) {
        m_artworkDock = new TagEditorDockWidget(TagItemType::Artwork, m_operationQueue, this);
        addDockWidget(Qt::LeftDockWidgetArea, m_artworkDock);
    }
    tabifyDockWidget(m_multiTagEditorDock, m_displayFilterDock);
    m_multiTagEditorDock->raise();
    // The tag editors keep the items of the selected files' tags: they let go of them when a
    // file is deleted or its tag replaced (undo deletes the replaced one), not only when the
    // selection that follows arrives.
    connect(m_model->modelData(), &AudioFileModelData::audioFileAboutToBeDeleted, this,
            &AppMainWindow::releaseTagEditorItems);
    connect(m_model->modelData(), &AudioFileModelData::combinedTagReplaced, this,
            &AppMainWindow::releaseTagEditorItems);

    m_findReplaceDock = new FindReplaceDockWidget(m_searchHandler, this);
    addDockWidget(Qt::BottomDockWidgetArea, m_findReplaceDock);
    m_logDock = new LogDockWidget(m_logger, this);
    addDockWidget(Qt::BottomDockWidgetArea, m_logDock);
    tabifyDockWidget(m_findReplaceDock, m_logDock);
    m_findReplaceDock->raise();
}

void AppMainWindow::releaseTagEditorItems()
{
    const AudioFileSelection none(m_model);
    m_multiTagEditorDock->setSelection(none);
    if (m_artworkDock)
        m_artworkDock->setSelection(none);
}

void AppMainWindow::createTableView()
{
    m_tableView = new AudioFileTableView(m_operationQueue, m_model, this);
    setCentralWidget(m_tableView);
    connect(m_tableView, &AudioFileTableView::selectionChanged, this, &AppMainWindow::onSelectionUpdated,
            Qt::QueuedConnection);
    connect(m_tableView, &AudioFileTableView::dragAndDrop, this, &AppMainWindow::onDragAndDrop);
}

void AppMainWindow::createFindReplaceDialog()
{
    // The find-and-replace dialog comes with the batch editing dialogs.
}

void AppMainWindow::createActionTree()
{
    // The command trees (application menu, file, edit, artwork, tools, view) join here as
    // they are built, in that order.
    m_actionTree = new ActionTree(QString(), this);
}

void AppMainWindow::createCommandBars()
{
    if (SettingsStore::boolValue(QStringLiteral("appMainWindow/useRibbonBar"))) {
        createRibbon();
        m_classicMenuBar = nullptr;
        m_toolBars.clear();
    } else {
        m_ribbonBar = nullptr;
        createMenuBar();
        createToolBars();
    }
}

void AppMainWindow::createMenuBar()
{
    m_classicMenuBar = m_actionTree->createMenuBar(this);
    setMenuBar(m_classicMenuBar);
}

void AppMainWindow::createToolBars()
{
    m_toolBars = m_actionTree->createToolBars(defaultIconSize(), this);
    for (QToolBar *bar : std::as_const(m_toolBars))
        addToolBar(Qt::TopToolBarArea, bar);
}

void AppMainWindow::createRibbon()
{
    m_ribbonBar = m_actionTree->createRibbonBar(this);
    // The quick-access commands (save, undo, redo, automatic tagging, move and copy to a
    // library) join here with their command trees.
    setMenuWidget(m_ribbonBar);
}

void AppMainWindow::createStatusBar()
{
    setStatusBar(new QStatusBar(this));
}

QString AppMainWindow::settingsFilePath() const
{
    return ::settingsFilePath();
}

void AppMainWindow::setBusyCursor(bool busy)
{
    if (busy) {
        if (m_busyCursorDepth++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyCursorDepth > 0 && --m_busyCursorDepth == 0) {
        QApplication::restoreOverrideCursor();
    }
}

QMessageBox::StandardButton AppMainWindow::askQuestion(const QString &text, QMessageBox::StandardButtons buttons,
                                                       QMessageBox::StandardButton defaultButton)
{
    return QMessageBox::question(this, windowTitle(), text, buttons, defaultButton);
}

void AppMainWindow::onSelectionUpdated()
{
    if (!m_tableView)
        return;
    m_selection = m_model->cellSelection(m_tableView->normalizedSelection());
    m_actionTree->updateActions();
    updateStatusBar();
    m_multiTagEditorDock->setSelection(m_selection);
    if (m_artworkDock)
        m_artworkDock->setSelection(m_selection);
}

void AppMainWindow::updateStatusBar()
{
    if (!statusBar())
        return;
    QString text = textForId(StatusBarTextId);
    argInPlace(text, QString::number(selectionFileCount()));
    argInPlace(text, QString::number(m_model->audioFiles().size()));
    statusBar()->showMessage(upperCaseFirst(text));
}

void AppMainWindow::onDragAndDrop(const QStringList &paths)
{
    openPaths(paths, true);
}

void AppMainWindow::onOperationQueueChanged()
{
    if (m_actionTree)
        m_actionTree->updateActions();
    m_model->modelData()->releaseUnusedAudioFiles(m_operationQueue);
    CodedImage::releaseUnusedData();
}

void AppMainWindow::onSearchQueryChanged()
{
    SearchResult *result = m_searchHandler->result();
    m_model->setHighlightedCells(HighlightKind::SearchResultHighlight,
                                 result ? m_model->itemSelection(result->cells()) : QItemSelection());
}

void AppMainWindow::onModifiedSelectionChanged()
{
    m_model->setHighlightedCells(HighlightKind::ModifiedHighlight,
                                 m_model->itemSelection(m_modifiedSelectionTracker->modifiedSelection()));
}

void AppMainWindow::onSettingsChanged()
{
    const bool useRibbon = SettingsStore::boolValue(QStringLiteral("appMainWindow/useRibbonBar"));
    if ((m_ribbonBar != nullptr) != useRibbon) {
        setMenuWidget(nullptr);
        m_ribbonBar = nullptr;
        m_classicMenuBar = nullptr;
        for (QToolBar *bar : std::as_const(m_toolBars)) {
            removeToolBar(bar);
            delete bar;
        }
        m_toolBars.clear();
        createCommandBars();
    }
    const QString key = QStringLiteral("appMainWindow/columns/column");
    const int count = SettingsStore::count(key);
    QList<ModelDataType> columns;
    for (int i = 0; i < count; ++i)
        columns.append(variableNames().value(SettingsStore::value(key, i).trimmed().toLower()));
    m_model->setDataTypes(columns);
}

void AppMainWindow::closeEvent(QCloseEvent *event)
{
    const QSet<AudioFile *> loaded = m_model->modelData()->loadedFiles();
    QList<AudioFile *> unsaved;
    const AudioFileSelection modifiedCells = m_modifiedSelectionTracker->modifiedSelection();
    const auto &modified = modifiedCells.dataTypesByFile();
    for (auto it = modified.cbegin(); it != modified.cend(); ++it) {
        if (loaded.contains(it.key()))
            unsaved.append(it.key());
    }
    std::sort(unsaved.begin(), unsaved.end(), audioFilePathLessThan);
    if (!unsaved.isEmpty()) {
        QString text = textForId(CloseQuestionTextId);
        argInPlace(text, QString::number(unsaved.size()));
        const QMessageBox::StandardButton answer =
            QMessageBox::question(this, windowTitle(), upperCaseFirst(text),
                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        if (answer == QMessageBox::Save) {
            if (!saveAudioFiles(unsaved, false)) {
                event->ignore();
                return;
            }
        } else if (answer != QMessageBox::Discard) {
            event->ignore();
            return;
        }
    }
    SettingsStore::setValue(QStringLiteral("appMainWindow/windowState"),
                            toBase64String(saveState(WindowStateVersion)));
    try {
        SettingsStore::saveFile(::settingsFilePath());
    } catch (const Exception &) {
        Logger::error(CloseSaveSettingsFailedTextId);
    }
    QMainWindow::closeEvent(event);
}

void updateMainWindowActions()
{
    AppMainWindow *window = AppMainWindow::existingInstance();
    if (window && window->actionTree())
        window->actionTree()->updateActions();
}
