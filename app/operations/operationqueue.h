#pragma once

#include <QObject>
#include <QSet>
#include <QVector>

class AudioFile;
class BufferedLogger;
class Operation;

// The undo history: every undoable change goes through apply, and undo and redo move the
// operations between the two stacks. The queue owns every operation handed to it. What an
// operation logs while it runs is collected and shown when it holds a warning or an error.
// GUI thread only.
class OperationQueue : public QObject
{
    Q_OBJECT
public:
    // How many operations can be undone.
    static constexpr int DefaultLimit = 10;

    explicit OperationQueue(QObject *parent = nullptr);
    ~OperationQueue() override;

    int limit() const { return m_limit; }
    // Next to undo (redo), null when there is none.
    Operation *undoOperation() const;
    Operation *redoOperation() const;
    // Oldest first; the last is the next to undo (redo).
    const QVector<Operation *> &undoStack() const { return m_undoStack; }
    const QVector<Operation *> &redoStack() const { return m_redoStack; }
    // The files that some operation of either stack refers to.
    QSet<AudioFile *> referencedAudioFiles() const;

public Q_SLOTS:
    // Takes the operation over and performs it; an operation already queued is ignored.
    void apply(Operation *operation);
    void undo();
    void redo();
    // Deletes every operation and emits changed with null.
    void clear();

Q_SIGNALS:
    void changed(Operation *operation);
    void operationApplied(Operation *operation);
    void operationUndone(Operation *operation);
    void operationRedone(Operation *operation);

private:
    // Undo or redo: from one stack through the step to the other.
    void step(QVector<Operation *> &from, QVector<Operation *> &to, bool (Operation::*confirm)(),
              void (Operation::*perform)(), void (OperationQueue::*done)(Operation *));
    void showCollectedMessages(BufferedLogger *logger);

    const int m_limit = DefaultLimit;
    QVector<Operation *> m_undoStack;
    QVector<Operation *> m_redoStack;
};
