#include "libgui/progress/progressdialog.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "libcore/platform/platformidentity.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/progress/progressthread.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/icons/icons.h"
#include "libgui/progress/dialogsizehints.h"

int progressBarValue(double progress)
{
    return static_cast<int>(qBound(0.0, progress, 1.0) * 1000);
}

ProgressDialog::ProgressDialog(ProgressObject *progress, QWidget *parent, Qt::WindowFlags flags)
    : CommonDialog(parent, flags), progressObject(progress)
{
    static const QIcon icon = loadIcon(QStringLiteral("clock"));
    setWindowIcon(icon);
    setWindowTitle(upperCaseFirst(textForId(ProgressDialogTitleTextId)));
    okButton->hide();
    setSizeFixed(true);
    setModal(true);
    connect(progress, &ProgressObject::progressUpdated, this, &ProgressDialog::onProgressUpdated);

    auto *layout = new QVBoxLayout();
    statusLabel = new QLabel();
    progressBar = new QProgressBar();
    layout->addWidget(statusLabel);
    layout->addWidget(progressBar);
    setContentLayout(layout);
    const QScreen *screen = QGuiApplication::primaryScreen();
    statusLabel->setFixedWidth(progressStatusLabelWidth(screen ? screen->geometry().width() : 1024));
    progressBar->setMaximum(1000);
    onProgressUpdated();
}

void ProgressDialog::onProgressUpdated()
{
    if (closed || !progressObject)
        return;
    if (progressObject->isFinished())
        accept();
    else if (progressObject->isCanceled())
        reject();
    if (closed)
        return;
    if (!showRequested) {
        QTimer::singleShot(100, this, &QWidget::show);
        showRequested = true;
    }
    statusLabel->setText(progressObject->statusText());
    progressBar->setValue(progressBarValue(progressObject->progress()));
    cancelButton->setVisible(progressObject->isCancelable());
}

void ProgressDialog::setVisible(bool visible)
{
    if (visible) {
        if (!showRequested)
            return;
        closed = false;
        CommonDialog::setVisible(true);
    } else {
        if (!closed)
            return;
        showRequested = false;
        CommonDialog::setVisible(false);
    }
}

void ProgressDialog::accept()
{
    closed = true;
    if (progressObject)
        progressObject->finish();
    QDialog::accept();
}

void ProgressDialog::reject()
{
    // Work that cannot be canceled would go on behind a closed dialog while the user
    // reaches the rest of the program: Escape and the close button wait for its end.
    if (progressObject && !progressObject->isCancelable() && !progressObject->isCanceled())
        return;
    closed = true;
    if (progressObject)
        progressObject->cancel();
    CommonDialog::reject();
}

void runProgressDialog(ProgressObject *progress, bool showProgressBar, QWidget *parent, Qt::WindowFlags flags)
{
    auto *dialog = new ProgressDialog(progress, parent, flags);
    dialog->progressBar->setVisible(showProgressBar);
    QEventLoop loop;
    static const bool mac = platformId() == PlatformMac;
    while (!progress->isFinished() && !progress->isCanceled()) {
        if (mac) {
            loop.processEvents(QEventLoop::AllEvents);
            QThread::msleep(10);
        } else {
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    delete dialog;
}

bool runProgressThread(ProgressThread *thread, bool showProgressBar, QWidget *parent, Qt::WindowFlags flags)
{
    thread->start(QThread::InheritPriority);
    runProgressDialog(thread->progressObject(), showProgressBar, parent, flags);
    const bool finished = thread->progressObject()->isFinished();
    disposeProgressThread(thread);
    return finished;
}

bool runProgressThreads(const QList<ProgressThread *> &threads, const QString &statusText,
                        bool showProgressBar, QWidget *parent, Qt::WindowFlags flags)
{
    // A combined progress without children would never finish, and the loop never end.
    if (threads.isEmpty())
        return true;
    CombinedProgressObject combined;
    combined.setStatusText(statusText);
    for (ProgressThread *thread : threads)
        combined.addChild(thread->progressObject(), 1.0, false);
    for (ProgressThread *thread : threads)
        thread->start(QThread::InheritPriority);
    runProgressDialog(&combined, showProgressBar, parent, flags);
    const bool finished = combined.isFinished();
    for (ProgressThread *thread : threads)
        disposeProgressThread(thread);
    return finished;
}

void disposeProgressThread(ProgressThread *thread)
{
    if (thread->progressObject()->isFinished()) {
        thread->wait();
    } else if (thread->progressObject()->isCanceled()) {
        // The owner would otherwise delete a thread that still runs.
        thread->setParent(nullptr);
        thread->cancelAndDeleteLater();
    }
}
