#pragma once

#include <QLabel>
#include <QList>
#include <QPointer>
#include <QProgressBar>

#include "libcore/progress/progressobject.h"
#include "libgui/dialogs/commondialog.h"

class ProgressThread;

enum ProgressDialogTextId : quint32 {
    ProgressDialogTitleTextId = 996639391u,
};

// A modal dialog over a progress object: status text, a bar and Cancel. It shows itself
// 100 ms after its creation, so short work never shows a dialog, and it closes itself when
// the progress finishes or is canceled; nothing else can show or hide it.
class ProgressDialog : public CommonDialog
{
    Q_OBJECT
public:
    explicit ProgressDialog(ProgressObject *progress, QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    QLabel *statusLabel;
    QProgressBar *progressBar;

public Q_SLOTS:
    void setVisible(bool visible) override;
    void accept() override;
    void reject() override;

private Q_SLOTS:
    void onProgressUpdated();

private:
    QPointer<ProgressObject> progressObject;
    bool showRequested = false;
    bool closed = false;
};

// Shows a ProgressDialog over the progress and spins a local event loop until the progress
// is finished or canceled.
void runProgressDialog(ProgressObject *progress, bool showProgressBar, QWidget *parent = nullptr,
                       Qt::WindowFlags flags = {});

// Starts the thread (or all threads, combined with equal weights) under a progress dialog.
// True when the work finished. After false, a canceled thread has been detached from its
// parent and deletes itself when it ends: the caller must not touch it.
bool runProgressThread(ProgressThread *thread, bool showProgressBar, QWidget *parent = nullptr,
                       Qt::WindowFlags flags = {});
bool runProgressThreads(const QList<ProgressThread *> &threads, const QString &statusText,
                        bool showProgressBar, QWidget *parent = nullptr, Qt::WindowFlags flags = {});

// A finished thread is waited for and left to its owner; a canceled one is detached and
// deleted once it ends; any other is left alone.
void disposeProgressThread(ProgressThread *thread);

// The bar's value for a progress fraction: 1000 steps, truncated.
int progressBarValue(double progress);
