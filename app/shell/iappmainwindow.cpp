#include "app/shell/iappmainwindow.h"

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
