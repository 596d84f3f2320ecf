#include "app/shell/headlessmainwindow.h"

#include "app/model/audiofilemodel.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/audiofileproxymodel.h"
#include "app/operations/operation.h"
#include "app/operations/modifiedselectiontracker.h"
#include "app/operations/operationqueue.h"
#include "app/search/searchhandler.h"
#include "app/search/searchresult.h"
#include "libcore/image/codedimage.h"
#include "libcore/log/bufferedlogger.h"

HeadlessMainWindow::HeadlessMainWindow(QObject *parent)
    : QObject(parent),
      m_store(new AudioFileModelData(this)),
      m_tableModel(new AudioFileModel(m_store, this)),
      m_proxy(new AudioFileProxyModel(m_tableModel, this)),
      m_selection(m_proxy),
      m_queue(new OperationQueue(this))
{
    // The order of the main window: the queue's own listener first, then the search
    // handler, then the tracker.
    connect(m_queue, &OperationQueue::changed, this, &HeadlessMainWindow::onOperationQueueChanged);
    m_searchHandler = new SearchHandler(m_proxy, m_queue, this);
    connect(m_searchHandler, &SearchHandler::queryChanged, this, &HeadlessMainWindow::onQueryChanged);
    m_tracker = new ModifiedSelectionTracker(m_proxy, m_queue, this);
    connect(m_tracker, &ModifiedSelectionTracker::modifiedSelectionChanged, this,
            &HeadlessMainWindow::onModifiedSelectionChanged);
    IAppMainWindow::setInstance(this);
}

HeadlessMainWindow::~HeadlessMainWindow()
{
    if (IAppMainWindow::instance() == this)
        IAppMainWindow::setInstance(nullptr);
    // The operations and the tracker go before the store whose files they name.
    delete m_tracker;
    delete m_searchHandler;
    delete m_queue;
}

IAudioFileModel *HeadlessMainWindow::model() const
{
    return m_proxy;
}

void HeadlessMainWindow::showLogMessages(BufferedLogger *logger)
{
    shownMessages.append(logger->messages());
}

QMessageBox::StandardButton HeadlessMainWindow::askQuestion(const QString &text, QMessageBox::StandardButtons buttons,
                                                            QMessageBox::StandardButton defaultButton)
{
    questions.append(text);
    if (answer != QMessageBox::NoButton && buttons.testFlag(answer))
        return answer;
    return defaultButton;
}

void HeadlessMainWindow::onOperationQueueChanged()
{
    m_store->releaseUnusedAudioFiles(m_queue);
    CodedImage::releaseUnusedData();
}

void HeadlessMainWindow::onModifiedSelectionChanged()
{
    m_tableModel->setHighlightedCells(HighlightKind::ModifiedHighlight,
                                      m_tableModel->itemSelection(m_tracker->modifiedSelection()));
}

void HeadlessMainWindow::onQueryChanged()
{
    SearchResult *result = m_searchHandler->result();
    m_tableModel->setHighlightedCells(HighlightKind::SearchResultHighlight,
                                      result ? m_tableModel->itemSelection(result->cells()) : QItemSelection());
}
