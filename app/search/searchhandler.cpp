#include "app/search/searchhandler.h"

#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>

#include "app/model/audiofilemodeldata.h"
#include "app/model/iaudiofilemodel.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/search/searchquery.h"
#include "app/search/searchresult.h"
#include "app/shell/iappmainwindow.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"

namespace {

QTableView *tableView()
{
    IAppMainWindow *window = IAppMainWindow::instance();
    return window ? window->tableView() : nullptr;
}

// The update operation of a replacement: made for the table's selection, described, and
// selecting the cells it changes.
ModelUpdateOperation *newReplaceOperation(IAudioFileModel *model)
{
    IAppMainWindow *window = IAppMainWindow::instance();
    auto *operation = new ModelUpdateOperation(window && window->selection() ? *window->selection()
                                                                              : AudioFileSelection(model));
    operation->setDescription(textForId(ReplaceOperationTextId));
    operation->selectsChangedCells = true;
    return operation;
}

} // namespace

SearchHandler::SearchHandler(IAudioFileModel *model, OperationQueue *queue, QObject *parent)
    : QObject(parent), m_model(model), m_queue(queue)
{
    if (m_model && m_model->itemModel())
        connect(m_model->itemModel(), SIGNAL(modelChanged()), this, SLOT(onModelChanged()));
}

void SearchHandler::setQuery(SearchQuery *query)
{
    if (query == m_query)
        return;
    if (!query) {
        clearQuery();
        return;
    }
    delete m_query;
    m_query = query;
    m_query->setParent(this);
    emit queryChanged();
}

void SearchHandler::clearQuery()
{
    if (!m_query)
        return;
    delete m_query;
    m_query = nullptr;
    emit queryChanged();
}

int SearchHandler::state() const
{
    return m_query ? m_query->state() : NoQuery;
}

QString SearchHandler::findText() const
{
    if (!m_query)
        return QString();
    const QVariant value = m_query->value();
    if (value.metaType() == QMetaType::fromType<SearchPattern>())
        return value.value<SearchPattern>().pattern();
    return value.toString();
}

QString SearchHandler::replacementText() const
{
    return m_query && m_query->hasReplacement() ? m_query->replacementText() : QString();
}

SearchResult *SearchHandler::result() const
{
    return m_query ? m_query->result() : nullptr;
}

int SearchHandler::resultCount() const
{
    const SearchResult *r = result();
    return r ? r->count() : 0;
}

void SearchHandler::selectResults(const QList<SearchResultEntry *> &entries)
{
    if (!m_model)
        return;
    if (AudioFileModelData *store = m_model->modelData()) {
        const QList<AudioFile *> displayed = store->displayedFiles();
        const QSet<AudioFile *> shown(displayed.cbegin(), displayed.cend());
        for (const SearchResultEntry *entry : entries) {
            if (entry && !shown.contains(entry->file())) {
                store->setPath({AudioFileModelData::rootName()});
                break;
            }
        }
    }
    AudioFileSelection cells(m_model);
    for (const SearchResultEntry *entry : entries) {
        if (entry)
            cells.insertCell(entry->file(), entry->dataType());
    }
    const QItemSelection selection = m_model->itemSelection(cells);
    QTableView *view = tableView();
    QItemSelectionModel *selectionModel = view ? view->selectionModel() : nullptr;
    if (selection.isEmpty() || !selectionModel)
        return;
    selectionModel->select(selection, QItemSelectionModel::ClearAndSelect);
    selectionModel->setCurrentIndex(selection.first().topLeft(), QItemSelectionModel::NoUpdate);
}

void SearchHandler::selectAllResults()
{
    if (const SearchResult *r = result(); r && r->count() > 0)
        selectResults(r->entries());
}

void SearchHandler::selectResult(int index)
{
    const SearchResult *r = result();
    if (!r || index < 0 || index >= r->count() || !r->entry(index))
        return;
    selectResults({r->entry(index)});
}

void SearchHandler::removeResults(QList<int> indexes)
{
    SearchResult *r = result();
    if (!r)
        return;
    // Highest first, so that a removal never shifts an index still to come; an index given
    // twice removes one entry, not its neighbour as well.
    std::sort(indexes.begin(), indexes.end(), std::greater<int>());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    for (int index : std::as_const(indexes))
        r->removeEntry(index);
    emit queryChanged();
}

void SearchHandler::findPrevious()
{
    find(false);
}

void SearchHandler::findNext()
{
    find(true);
}

int SearchHandler::findAll()
{
    if (!m_query)
        return 0;
    const int count = m_query->run();
    emit queryChanged();
    return count;
}

void SearchHandler::replacePrevious()
{
    replace(false);
}

void SearchHandler::replaceNext()
{
    replace(true);
}

int SearchHandler::replaceAll()
{
    if (!m_query)
        return 0;
    if (m_query->state() == SearchQuery::ReplacementOnly)
        m_query->run();
    if (m_query->state() != SearchQuery::ResultAndReplacement)
        return 0;
    ModelUpdateOperation *operation = newReplaceOperation(m_model);
    const int count = m_query->replaceAll(operation);
    if (count > 0 && m_queue)
        m_queue->apply(operation);
    else
        delete operation;
    clearQuery();
    return count;
}

void SearchHandler::onModelChanged()
{
    if (!m_query)
        return;
    m_query->updateForModel();
    emit queryChanged();
    if (const SearchResult *r = m_query->result())
        emit resultIndexChanged(r->currentIndex());
}

void SearchHandler::find(bool forward)
{
    if (!m_query)
        return;
    const int state = m_query->state();
    if (state == SearchQuery::ResultOnly || state == SearchQuery::ResultAndReplacement) {
        SearchResult *r = m_query->result();
        if (r->count() == 0) {
            reportNotFound();
            return;
        }
        if (forward)
            r->stepForward(m_query->wrapAround());
        else
            r->stepBack(m_query->wrapAround());
        emit resultIndexChanged(r->currentIndex());
        selectResult(r->currentIndex());
        return;
    }
    findInScope(forward);
}

void SearchHandler::findInScope(bool forward)
{
    if (!m_query)
        return;
    QAbstractItemModel *items = m_model ? m_model->itemModel() : nullptr;
    QTableView *view = tableView();
    QModelIndex index = view ? view->currentIndex() : QModelIndex();
    if (index.model() != items)
        index = QModelIndex();
    bool includeCurrent = false;
    if (!index.isValid()) {
        if (!items || items->rowCount() == 0 || items->columnCount() == 0) {
            reportNotFound();
            return;
        }
        index = items->index(0, 0);
        includeCurrent = true;
    }
    m_query->scope().setPosition(m_model->audioFile(index), m_model->dataType(index));
    QObject found;
    SearchResultEntry *entry = forward ? m_query->findForward(includeCurrent, &found)
                                       : m_query->findBackward(includeCurrent, &found);
    if (entry)
        selectResults({entry});
    else
        reportNotFound();
}

void SearchHandler::replace(bool forward)
{
    if (!m_query || m_query->state() != SearchQuery::ReplacementOnly)
        return;
    QTableView *view = tableView();
    const QModelIndex index = view ? view->currentIndex() : QModelIndex();
    // Only the cell the user has in front of them: when the current cell has no place in the
    // scope's grid, the cell the cursor rested on before is not replaced instead.
    if (index.isValid() && m_model && index.model() == m_model->itemModel()
        && m_query->scope().setPosition(m_model->audioFile(index), m_model->dataType(index)) >= 0) {
        ModelUpdateOperation *operation = newReplaceOperation(m_model);
        if (m_query->replaceCurrent(operation) && m_queue)
            m_queue->apply(operation);
        else
            delete operation;
    }
    findInScope(forward);
}

void SearchHandler::reportNotFound()
{
    QString text = textForId(NothingFoundTextId);
    argInPlace(text, findText());
    if (IAppMainWindow *window = IAppMainWindow::instance())
        window->showInformation(upperCaseFirst(text));
}
