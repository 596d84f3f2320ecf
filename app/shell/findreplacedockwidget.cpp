#include "app/shell/findreplacedockwidget.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/model/modeldatatype.h"
#include "app/search/searchhandler.h"
#include "app/search/searchquery.h"
#include "app/search/searchresult.h"
#include "app/shell/appmainwindow.h"
#include "app/shell/shelltextids.h"
#include "libgui/icons/icons.h"
#include "libcore/io/paths.h"
#include "libcore/log/logmessage.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/actions/actiontree.h"
#include "libgui/layout/layoututil.h"
#include "libgui/tables/exttablewidget.h"
#include "libgui/widgets/taskwidget.h"
#include "libtagging/model/audiofile.h"

namespace {
enum Page { ResultPage = 0, QueryPage = 1, IdlePage = 2 };
enum HandlerState { NoQuery = 0, FindQuery = 1, FindResult = 2, ReplaceQuery = 3, ReplaceResult = 4 };

QAction *sharedAction(const char *icon, quint32 text)
{
    return ActionTree::createAction(loadIcon(QLatin1String(icon)), upperCaseFirst(textForId(text)), QString());
}

QString filled(quint32 id, const QStringList &arguments)
{
    QString text = textForId(id);
    for (const QString &argument : arguments)
        argInPlace(text, argument);
    return upperCaseFirst(text);
}
} // namespace

QAction *FindReplaceDockWidget::findAllAction()
{
    static QAction *action = sharedAction("list", FindAllTextId);
    return action;
}

QAction *FindReplaceDockWidget::selectAllAction()
{
    static QAction *action = sharedAction("selectAll", SelectAllResultsTextId);
    return action;
}

QAction *FindReplaceDockWidget::replaceAllAction()
{
    static QAction *action = sharedAction("replace", ReplaceAllTextId);
    return action;
}

QAction *FindReplaceDockWidget::removeMatchesAction()
{
    static QAction *action = sharedAction("remove", RemoveMatchesTextId);
    return action;
}

QAction *FindReplaceDockWidget::stopAction()
{
    static QAction *action = sharedAction("exit", StopFindReplaceTextId);
    return action;
}

QAction *FindReplaceDockWidget::refreshAction()
{
    static QAction *action = sharedAction("refresh", RefreshResultTextId);
    return action;
}

FindReplaceDockWidget::FindReplaceDockWidget(SearchHandler *searchHandler, QWidget *parent)
    : ExtDockWidget(parent), searchHandler(searchHandler)
{
    connect(searchHandler, &SearchHandler::resultIndexChanged, this, &FindReplaceDockWidget::onResultIndexChanged);
    connect(searchHandler, &SearchHandler::queryChanged, this, &FindReplaceDockWidget::updateGui);
    setMinimumSize(100, 150);
    setFeatures(DockWidgetClosable | DockWidgetMovable);
    static const QIcon titleIcon = loadIcon(QStringLiteral("find"));
    icon = titleIcon;
    setObjectName(QString::fromLatin1(metaObject()->className()));

    pageStack = new QStackedWidget(this);
    pageStack->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setWidget(pageStack);

    auto *resultWindow = new QMainWindow(pageStack, Qt::Widget);
    resultWindow->setContextMenuPolicy(Qt::NoContextMenu);
    auto *central = new QWidget();
    resultWindow->setCentralWidget(central);

    connect(findAllAction(), &QAction::triggered, this, &FindReplaceDockWidget::onFindAll);
    connect(selectAllAction(), &QAction::triggered, this, &FindReplaceDockWidget::onSelectAll);
    connect(replaceAllAction(), &QAction::triggered, this, &FindReplaceDockWidget::onReplaceAll);
    connect(removeMatchesAction(), &QAction::triggered, this, &FindReplaceDockWidget::onRemoveMatches);
    connect(stopAction(), &QAction::triggered, this, &FindReplaceDockWidget::onStopFindReplace);
    connect(refreshAction(), &QAction::triggered, this, &FindReplaceDockWidget::onRefreshResult);

    // The edit commands' previous and next match join the tool bar and the query page, and
    // find and replace the idle page, once those commands exist.
    auto *toolBar = new QToolBar(resultWindow);
    toolBar->setIconSize(QSize(defaultIconSize(), defaultIconSize()));
    toolBar->setFloatable(false);
    toolBar->setMovable(false);
    toolBar->setMinimumWidth(300);
    toolBar->addActions({selectAllAction(), replaceAllAction(), removeMatchesAction(), stopAction(), refreshAction()});
    resultWindow->addToolBar(toolBar);

    resultTable = new ExtTableWidget(0, 4, central);
    resultTable->setHorizontalHeaderLabels(
        {upperCaseFirst(filePropertyDisplayName(FileProperty::fileName)),
         upperCaseFirst(textForId(ResultDataTypeColumnTextId)), upperCaseFirst(textForId(ResultTextColumnTextId)),
         upperCaseFirst(textForId(ResultReplacementColumnTextId))});
    resultTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    resultTable->setFrameStyle(QFrame::NoFrame);
    connect(resultTable, &QTableWidget::itemSelectionChanged, this, &FindReplaceDockWidget::onSelectionChanged);
    connect(resultTable, &QTableWidget::cellActivated, this, &FindReplaceDockWidget::onCellActivated);
    central->setLayout(wrapInLayout(resultTable));
    pageStack->addWidget(resultWindow);

    queryPage = new TaskWidget(pageStack);
    queryPage->addActions({findAllAction(), stopAction()});
    pageStack->addWidget(queryPage);

    idlePage = new TaskWidget(pageStack);
    idlePage->setTitle(upperCaseFirst(textForId(FindReplaceIdleTitleTextId)));
    pageStack->addWidget(idlePage);

    updateGui();
}

void FindReplaceDockWidget::setVisible(bool visible)
{
    ExtDockWidget::setVisible(visible);
    updateMainWindowActions();
}

void FindReplaceDockWidget::updateGui()
{
    const int state = searchHandler->state();
    const QString findText = searchHandler->findText();
    const QString replacement = searchHandler->replacementText();
    const QString count = QString::number(searchHandler->resultCount());
    switch (state) {
    case FindQuery:
        setWindowTitle(upperCaseFirst(textForId(FindReplaceDockTitleTextId)));
        queryPage->setTitle(filled(FindQueryTitleTextId, {findText}));
        pageStack->setCurrentIndex(QueryPage);
        break;
    case ReplaceQuery:
        setWindowTitle(upperCaseFirst(textForId(FindReplaceDockTitleTextId)));
        queryPage->setTitle(filled(ReplaceQueryTitleTextId, {findText, replacement}));
        pageStack->setCurrentIndex(QueryPage);
        break;
    case FindResult:
        setWindowTitle(filled(FindResultTitleTextId, {findText, count}));
        updateResultTable();
        pageStack->setCurrentIndex(ResultPage);
        break;
    case ReplaceResult:
        setWindowTitle(filled(ReplaceResultTitleTextId, {findText, replacement, count}));
        updateResultTable();
        pageStack->setCurrentIndex(ResultPage);
        break;
    default:
        setWindowTitle(upperCaseFirst(textForId(FindReplaceDockTitleTextId)));
        pageStack->setCurrentIndex(IdlePage);
        break;
    }
    updateActions();
}

void FindReplaceDockWidget::updateResultTable()
{
    const int state = searchHandler->state();
    resultTable->setRowCount(searchHandler->resultCount());
    resultTable->setColumnHidden(3, state != ReplaceResult);
    SearchResult *result = searchHandler->result();
    static const QIcon warningIcon = standardMessageIcon(Warning);
    for (int i = 0; result && i < resultTable->rowCount(); ++i) {
        const SearchResultEntry *entry = result->entry(i);
        if (!entry)
            continue;
        const QString fileName = QFileInfo(withoutTrailingSlash(entry->file()->filePath())).fileName();
        resultTable->setItem(i, 0, new QTableWidgetItem(fileName));
        const QString typeName = dataTypeDisplayName(entry->dataType());
        resultTable->setItem(i, 1, new QTableWidgetItem(upperCaseFirst(typeName)));
        resultTable->setItem(i, 2, new QTableWidgetItem(entry->text()));
        if (resultTable->isColumnHidden(3))
            continue;
        if (entry->dataType().isTagItem()) {
            resultTable->setItem(i, 3, new QTableWidgetItem(searchHandler->query()->replacedText(entry)));
        } else {
            // Replace all leaves file and audio properties alone.
            auto *item = new QTableWidgetItem(warningIcon, entry->text());
            item->setData(Qt::ToolTipRole, filled(NotReplaceableTextId, {typeName}));
            resultTable->setItem(i, 3, item);
        }
    }
    fitViewColumnsToContents(resultTable);
}

void FindReplaceDockWidget::updateActions()
{
    const int state = searchHandler->state();
    const int count = searchHandler->resultCount();
    const bool hasSelection = pageStack->currentIndex() == ResultPage && resultTable->selectionModel()->hasSelection();
    findAllAction()->setEnabled(state == FindQuery || state == ReplaceQuery);
    selectAllAction()->setEnabled(state != NoQuery && count > 0);
    replaceAllAction()->setVisible(state == ReplaceResult);
    replaceAllAction()->setEnabled(state == ReplaceResult && count > 0);
    removeMatchesAction()->setEnabled(state != NoQuery && hasSelection);
    stopAction()->setEnabled(state != NoQuery);
    refreshAction()->setEnabled(state == FindResult || state == ReplaceResult);
}

void FindReplaceDockWidget::onFindAll()
{
    searchHandler->findAll();
}

void FindReplaceDockWidget::onSelectAll()
{
    searchHandler->selectAllResults();
}

void FindReplaceDockWidget::onReplaceAll()
{
    // Read first: replacing clears the query.
    const QString findText = searchHandler->findText();
    const QString replacement = searchHandler->replacementText();
    const int count = searchHandler->replaceAll();
    QMessageBox::information(this, window()->windowTitle(),
                             filled(CellsReplacedTextId, {QString::number(count), findText, replacement}),
                             QMessageBox::Ok);
}

void FindReplaceDockWidget::onRemoveMatches()
{
    const int state = searchHandler->state();
    if (state != FindResult && state != ReplaceResult)
        return;
    QList<int> removed;
    for (int row = resultTable->rowCount() - 1; row >= 0; --row) {
        if (resultTable->selectionModel()->isRowSelected(row, QModelIndex())) {
            resultTable->removeRow(row);
            removed.append(row);
        }
    }
    searchHandler->removeResults(removed);
    updateActions();
}

void FindReplaceDockWidget::onStopFindReplace()
{
    searchHandler->clearQuery();
}

void FindReplaceDockWidget::onRefreshResult()
{
    searchHandler->findAll();
}

void FindReplaceDockWidget::onSelectionChanged()
{
    if (SearchResult *result = searchHandler->result())
        result->setCurrentIndex(resultTable->currentRow());
    updateActions();
}

void FindReplaceDockWidget::onCellActivated(int row, int column)
{
    Q_UNUSED(column)
    searchHandler->selectResult(row);
}

void FindReplaceDockWidget::onResultIndexChanged(int resultIndex)
{
    QAbstractItemModel *itemModel = resultTable->model();
    resultTable->selectionModel()->setCurrentIndex(itemModel->index(resultIndex, 0), QItemSelectionModel::NoUpdate);
    resultTable->selectionModel()->select(
        QItemSelection(itemModel->index(resultIndex, 0), itemModel->index(resultIndex, itemModel->columnCount() - 1)),
        QItemSelectionModel::ClearAndSelect);
}
