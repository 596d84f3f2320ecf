#pragma once

#include <QList>
#include <QObject>
#include <QString>

class IAudioFileModel;
class OperationQueue;
class SearchQuery;
class SearchResult;
class SearchResultEntry;

// The application's one find-and-replace controller. It owns the current query, finds the
// next or previous matching cell from the table's current cell (or steps through the result
// list after a find all) and selects it in the table; every replacement is an update
// operation on the undo queue, and replace all is one undo step. It reads the table view,
// the selection and the information box through the main window's interface. GUI thread only.
class SearchHandler : public QObject
{
    Q_OBJECT
public:
    enum State : int { NoQuery = 0 }; // otherwise the query's state

    SearchHandler(IAudioFileModel *model, OperationQueue *queue, QObject *parent = nullptr);

    SearchQuery *query() const { return m_query; }
    // Takes the query over and drops the old one; null clears.
    void setQuery(SearchQuery *query);
    void clearQuery();

    int state() const;
    QString findText() const;
    QString replacementText() const;
    SearchResult *result() const;
    int resultCount() const;

    // Selects the entries' cells in the table (showing every loaded file first when one of
    // them is hidden by the browse path) and makes the first cell current.
    void selectResults(const QList<SearchResultEntry *> &entries);
    void selectAllResults();
    void selectResult(int index);
    // Removes the result entries at these indexes (each once, whatever the order given).
    void removeResults(QList<int> indexes);

public Q_SLOTS:
    void findPrevious();
    void findNext();
    int findAll();
    void replacePrevious();
    void replaceNext();
    int replaceAll();

Q_SIGNALS:
    void queryChanged();
    void resultIndexChanged(int index);

private Q_SLOTS:
    void onModelChanged();

private:
    void find(bool forward);
    void findInScope(bool forward);
    void replace(bool forward);
    void reportNotFound();

    IAudioFileModel *m_model;
    OperationQueue *m_queue;
    SearchQuery *m_query = nullptr;
};
