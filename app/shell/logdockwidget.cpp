#include "app/shell/logdockwidget.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QStackedWidget>
#include <QToolBar>

#include "app/shell/appmainwindow.h"
#include "app/shell/shelltextids.h"
#include "libgui/icons/icons.h"
#include "libcore/io/paths.h"
#include "libcore/io/wholefile.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/log/exception.h"
#include "libcore/platform/platformidentity.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libcore/text/utf8textcodec.h"
#include "libgui/logviews/logmessagedialog.h"
#include "libgui/logviews/logtablewidget.h"

namespace {
constexpr int MaximumRowCountLimit = 1000;

QAction *makeAction(const QIcon &icon, quint32 text, QObject *parent)
{
    return new QAction(icon, upperCaseFirst(textForId(text)), parent);
}
} // namespace

LogDockWidget::LogDockWidget(BufferedLogger *logger, QWidget *parent) : ExtDockWidget(parent), logger(logger)
{
    setWindowTitle(upperCaseFirst(textForId(LogDockTitleTextId)));
    setFeatures(DockWidgetClosable | DockWidgetMovable);
    static const QIcon titleIcon = loadIcon(QStringLiteral("list"));
    icon = titleIcon;
    setObjectName(QString::fromLatin1(metaObject()->className()));

    static const QIcon errorIcon = standardMessageIcon(Error);
    static const QIcon warningIcon = standardMessageIcon(Warning);
    static const QIcon infoIcon = standardMessageIcon(Info);
    static const QIcon ascendingIcon = loadIcon(QStringLiteral("sortAscending"));
    static const QIcon descendingIcon = loadIcon(QStringLiteral("sortDescending"));
    static const QIcon saveIcon = loadIcon(QStringLiteral("save"));
    static const QIcon copyIcon = loadIcon(QStringLiteral("copy"));
    static const QIcon removeIcon = loadIcon(QStringLiteral("remove"));
    static const QIcon listIcon = loadIcon(QStringLiteral("list"));

    errorsAction = makeAction(errorIcon, LogErrorsTextId, this);
    warningsAction = makeAction(warningIcon, LogWarningsTextId, this);
    infosAction = makeAction(infoIcon, LogInfosTextId, this);
    for (QAction *action : {errorsAction, warningsAction, infosAction}) {
        action->setCheckable(true);
        action->setChecked(true);
        connect(action, &QAction::triggered, this, &LogDockWidget::refresh);
    }
    auto *sortGroup = new QActionGroup(this);
    sortAscendingAction = makeAction(ascendingIcon, SortAscendingTextId, this);
    sortDescendingAction = makeAction(descendingIcon, SortDescendingTextId, this);
    for (QAction *action : {sortAscendingAction, sortDescendingAction}) {
        action->setCheckable(true);
        sortGroup->addAction(action);
        connect(action, &QAction::triggered, this, &LogDockWidget::refresh);
    }
    sortDescendingAction->setChecked(true);
    saveAction = makeAction(saveIcon, LogSaveTextId, this);
    connect(saveAction, &QAction::triggered, this, &LogDockWidget::onSave);
    copyAction = makeAction(copyIcon, LogCopyTextId, this);
    connect(copyAction, &QAction::triggered, this, &LogDockWidget::onCopy);
    clearAction = makeAction(removeIcon, LogClearTextId, this);
    connect(clearAction, &QAction::triggered, this, &LogDockWidget::onClear);
    rowCountLimitAction = makeAction(listIcon, LogRowLimitTextId, this);
    connect(rowCountLimitAction, &QAction::triggered, this, &LogDockWidget::onSetRowCountLimit);

    auto *stack = new QStackedWidget(this);
    stack->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setWidget(stack);
    innerWindow = new QMainWindow(stack, Qt::Widget);
    innerWindow->setContextMenuPolicy(Qt::NoContextMenu);
    stack->addWidget(innerWindow);

    auto *toolBar = new QToolBar(innerWindow);
    toolBar->setIconSize(QSize(defaultIconSize(), defaultIconSize()));
    toolBar->setFloatable(false);
    toolBar->setMovable(false);
    toolBar->setMinimumWidth(150);
    toolBar->addActions({errorsAction, warningsAction, infosAction});
    toolBar->addSeparator();
    toolBar->addActions({sortAscendingAction, sortDescendingAction});
    toolBar->addSeparator();
    toolBar->addActions({saveAction, copyAction, clearAction});
    toolBar->addSeparator();
    toolBar->addAction(rowCountLimitAction);
    innerWindow->addToolBar(toolBar);

    logTable = new LogTableWidget(logger, innerWindow);
    logTable->setFrameStyle(QFrame::NoFrame);
    logTable->setMaximumRowCount(rowCountLimit);
    innerWindow->setCentralWidget(logTable);
    refresh();
}

void LogDockWidget::setVisible(bool visible)
{
    ExtDockWidget::setVisible(visible);
    updateMainWindowActions();
}

void LogDockWidget::refresh()
{
    logTable->setLevelShown(Error, errorsAction->isChecked());
    logTable->setLevelShown(Warning, warningsAction->isChecked());
    logTable->setLevelShown(Info, infosAction->isChecked());
    logTable->setSortOrder(sortAscendingAction->isChecked() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

QString LogDockWidget::messagesText() const
{
    QString text;
    const QString lineEnd = lineEndingString(LineEnding::Native);
    for (const LogMessage &message : logger->messages())
        text += formatLogLine(message, true, true, true) + lineEnd;
    return text;
}

void LogDockWidget::onSave()
{
    QString path = QFileDialog::getSaveFileName(this, upperCaseFirst(textForId(LogSaveCaptionTextId)), QString(),
                                                upperCaseFirst(textForId(LogTextFilesTextId) + QStringLiteral(" (*.txt)")));
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    path = withoutTrailingSlash(path);
    if (path.isEmpty())
        return;
    BufferedLogger saveLogger;
    try {
        writeTextFile(path, messagesText(), Utf8TextCodec::instance());
    } catch (const Exception &) {
        showLogMessageDialog(&saveLogger, this);
    }
}

void LogDockWidget::onCopy()
{
    QApplication::clipboard()->setText(messagesText(), QClipboard::Clipboard);
}

void LogDockWidget::onClear()
{
    const QMessageBox::StandardButton answer =
        QMessageBox::question(this, window()->windowTitle(), upperCaseFirst(textForId(LogClearQuestionTextId)),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes)
        return;
    logger->clear();
    logTable->refresh();
}

void LogDockWidget::onSetRowCountLimit()
{
    bool ok = false;
    const int value = QInputDialog::getInt(this, rowCountLimitAction->text(),
                                           upperCaseFirst(textForId(LogRowLimitLabelTextId)),
                                           rowCountLimit, 0, MaximumRowCountLimit, 1, &ok);
    if (!ok)
        return;
    rowCountLimit = value;
    logTable->setMaximumRowCount(value);
}
