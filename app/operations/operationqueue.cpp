#include "app/operations/operationqueue.h"

#include <QApplication>

#include "app/operations/operation.h"
#include "app/shell/iappmainwindow.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/log/exception.h"
#include "libgui/logviews/logmessagedialog.h"

namespace {

// Searched from the newest element, where a repeated hand-over is most likely found.
bool containsFromBack(const QVector<Operation *> &stack, const Operation *operation)
{
    for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
        if (*it == operation)
            return true;
    }
    return false;
}

void deleteFromBack(QVector<Operation *> &stack)
{
    while (!stack.isEmpty())
        delete stack.takeLast();
}

} // namespace

OperationQueue::OperationQueue(QObject *parent) : QObject(parent) {}

// The operations are children and go with QObject's destruction.
OperationQueue::~OperationQueue() = default;

Operation *OperationQueue::undoOperation() const
{
    return m_undoStack.isEmpty() ? nullptr : m_undoStack.last();
}

Operation *OperationQueue::redoOperation() const
{
    return m_redoStack.isEmpty() ? nullptr : m_redoStack.last();
}

QSet<AudioFile *> OperationQueue::referencedAudioFiles() const
{
    QSet<AudioFile *> files;
    for (const Operation *operation : m_undoStack)
        files.unite(operation->referencedAudioFiles());
    for (const Operation *operation : m_redoStack)
        files.unite(operation->referencedAudioFiles());
    return files;
}

void OperationQueue::apply(Operation *operation)
{
    if (!operation || containsFromBack(m_undoStack, operation) || containsFromBack(m_redoStack, operation))
        return;
    operation->setParent(this);
    // Registered from here on, it collects whatever the operation and the listeners log.
    BufferedLogger logger;
    try {
        operation->apply();
    } catch (const Exception &) {
        // Already logged when it was made; a half-done operation stays undoable.
    }
    m_undoStack.append(operation);
    while (m_undoStack.size() > m_limit)
        delete m_undoStack.takeFirst();
    deleteFromBack(m_redoStack);
    emit operationApplied(operation);
    emit changed(operation);
    showCollectedMessages(&logger);
}

void OperationQueue::undo()
{
    step(m_undoStack, m_redoStack, &Operation::confirmUndo, &Operation::undo, &OperationQueue::operationUndone);
}

// Operations only move between the stacks, so the limit still holds after a redo.
void OperationQueue::redo()
{
    step(m_redoStack, m_undoStack, &Operation::confirmRedo, &Operation::redo, &OperationQueue::operationRedone);
}

void OperationQueue::step(QVector<Operation *> &from, QVector<Operation *> &to, bool (Operation::*confirm)(),
                          void (Operation::*perform)(), void (OperationQueue::*done)(Operation *))
{
    if (from.isEmpty())
        return;
    Operation *operation = from.takeLast();
    if (!(operation->*confirm)()) {
        from.append(operation);
        return;
    }
    BufferedLogger logger;
    try {
        (operation->*perform)();
    } catch (const Exception &) {
        // Already logged; the operation moves on as if it had succeeded.
    }
    to.append(operation);
    emit(this->*done)(operation);
    emit changed(operation);
    showCollectedMessages(&logger);
}

void OperationQueue::clear()
{
    deleteFromBack(m_undoStack);
    deleteFromBack(m_redoStack);
    emit changed(nullptr);
}

void OperationQueue::showCollectedMessages(BufferedLogger *logger)
{
    if (logger->lastErrorOrWarning().level == LogLevel::NoLevel)
        return;
    if (IAppMainWindow *window = IAppMainWindow::instance())
        window->showLogMessages(logger);
    else if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        showLogMessageDialog(logger, nullptr);
}
