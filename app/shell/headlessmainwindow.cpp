#include "app/shell/headlessmainwindow.h"

#include "app/model/audiofilemodel.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/audiofileproxymodel.h"
#include "app/operations/operation.h"
#include "app/operations/operationqueue.h"
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
    connect(m_queue, &OperationQueue::changed, this, &HeadlessMainWindow::onOperationQueueChanged);
    IAppMainWindow::setInstance(this);
}

HeadlessMainWindow::~HeadlessMainWindow()
{
    if (IAppMainWindow::instance() == this)
        IAppMainWindow::setInstance(nullptr);
    // The operations go before the store whose files they name.
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

void HeadlessMainWindow::onModifiedSelectionChanged() {}
