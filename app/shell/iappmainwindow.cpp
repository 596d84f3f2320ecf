#include "app/shell/iappmainwindow.h"

#include <QWidget>

#include "libgui/logviews/logmessagedialog.h"

namespace {
IAppMainWindow *g_instance = nullptr;
}

IAppMainWindow::~IAppMainWindow()
{
    if (g_instance == this)
        g_instance = nullptr;
}

IAppMainWindow *IAppMainWindow::instance()
{
    return g_instance;
}

void IAppMainWindow::setInstance(IAppMainWindow *window)
{
    g_instance = window;
}

void IAppMainWindow::showLogMessages(BufferedLogger *logger)
{
    showLogMessageDialog(logger, dialogParent());
}

void IAppMainWindow::showInformation(const QString &text)
{
    QWidget *parent = dialogParent();
    QMessageBox::information(parent, parent ? parent->windowTitle() : QString(), text, QMessageBox::Ok,
                             QMessageBox::NoButton);
}

bool IAppMainWindow::showHint(const QString &text)
{
    DidYouKnowDialog dialog(dialogParent());
    dialog.setText(text);
    dialog.exec();
    return dialog.showAgain();
}
