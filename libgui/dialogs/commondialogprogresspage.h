#pragma once

#include <QPointer>

#include "libgui/dialogs/commondialogpage.h"

class ProgressThread;
class QLabel;
class QProgressBar;

// A wizard page that runs a worker thread and shows its progress; the thread's end is
// passed on as completed(), canceled() or failed(). The page never deletes the thread.
class CommonDialogProgressPage : public CommonDialogPage
{
    Q_OBJECT
public:
    explicit CommonDialogProgressPage(QWidget *parent = nullptr);

    // Starts the thread; a different one still running is silenced and canceled first.
    void start(ProgressThread *thread);
    // Asks the running work to stop and emits canceled() at once; false when there was
    // nothing to cancel.
    bool cancel();

    QPointer<ProgressThread> thread;
    QLabel *statusLabel;
    QProgressBar *progressBar;

Q_SIGNALS:
    void completed();
    void canceled();
    void failed();

private Q_SLOTS:
    void onProgressUpdated();
};
