#include "libgui/dialogs/commondialogprogresspage.h"

#include <QLabel>
#include <QProgressBar>

#include "libcore/progress/progressthread.h"
#include "libgui/progress/progressdialog.h"

CommonDialogProgressPage::CommonDialogProgressPage(QWidget *parent) : CommonDialogPage(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    statusLabel = new QLabel(this);
    layout->addWidget(statusLabel, 0, Qt::AlignCenter);
    progressBar = new QProgressBar(this);
    progressBar->setMaximum(1000);
    layout->addWidget(progressBar);
    layout->addStretch();
}

void CommonDialogProgressPage::start(ProgressThread *newThread)
{
    if (newThread == thread)
        return;
    if (thread && thread->isRunning()) {
        thread->blockSignals(true);
        thread->progressObject()->cancel();
    }
    progressBar->setValue(0);
    thread = newThread;
    if (!thread)
        return;
    connect(thread, &ProgressThread::progressUpdated, this, &CommonDialogProgressPage::onProgressUpdated);
    connect(thread, &ProgressThread::completed, this, &CommonDialogProgressPage::completed);
    connect(thread, &ProgressThread::canceled, this, &CommonDialogProgressPage::canceled);
    connect(thread, &ProgressThread::failed, this, &CommonDialogProgressPage::failed);
    thread->start(QThread::InheritPriority);
}

bool CommonDialogProgressPage::cancel()
{
    if (!thread || thread->progressObject()->isCanceled() || thread->progressObject()->isFinished())
        return false;
    // The thread's own end must not reach the page a second time.
    thread->blockSignals(true);
    thread->progressObject()->cancel();
    Q_EMIT canceled();
    return true;
}

void CommonDialogProgressPage::onProgressUpdated()
{
    if (thread)
        progressBar->setValue(progressBarValue(thread->progressObject()->progress()));
}
