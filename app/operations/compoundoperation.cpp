#include "app/operations/compoundoperation.h"

#include "libcore/log/exception.h"

namespace {

// Runs the step on every child in the given order, then throws once when any failed.
template<typename Children>
void runAll(const Children &children, void (Operation::*step)(), quint32 failureCode)
{
    bool failed = false;
    for (Operation *child : children) {
        try {
            (child->*step)();
        } catch (const Exception &) {
            failed = true;
        }
    }
    if (failed)
        throw Exception(failureCode);
}

} // namespace

CompoundOperation::CompoundOperation(QObject *parent) : Operation(parent) {}

void CompoundOperation::addOperation(Operation *operation)
{
    operation->setParent(this);
    m_children.append(operation);
}

void CompoundOperation::apply()
{
    runAll(m_children, &Operation::apply, CompoundApplyFailedTextId);
}

void CompoundOperation::undo()
{
    QList<Operation *> reversed(m_children.crbegin(), m_children.crend());
    runAll(reversed, &Operation::undo, CompoundUndoFailedTextId);
}

void CompoundOperation::redo()
{
    runAll(m_children, &Operation::redo, CompoundRedoFailedTextId);
}

bool CompoundOperation::confirmUndo()
{
    for (Operation *child : std::as_const(m_children)) {
        if (!child->confirmUndo())
            return false;
    }
    return true;
}

bool CompoundOperation::confirmRedo()
{
    for (Operation *child : std::as_const(m_children)) {
        if (!child->confirmRedo())
            return false;
    }
    return true;
}

QSet<AudioFile *> CompoundOperation::referencedAudioFiles() const
{
    QSet<AudioFile *> files;
    for (const Operation *child : m_children)
        files.unite(child->referencedAudioFiles());
    return files;
}
