#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include "app/operations/compoundoperation.h"
#include "app/operations/operation.h"
#include "app/operations/operationqueue.h"
#include "app/shell/headlessmainwindow.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"

namespace {

// The queue never dereferences files: plain addresses stand for them.
AudioFile *file(int n)
{
    return reinterpret_cast<AudioFile *>(quintptr(0x1000 * n));
}

// Writes "apply n", "undo n", "redo n" into a shared journal and fails on request.
class JournalOperation : public Operation
{
public:
    enum Failure { NoFailure, ThrowsException, LogsWarning, LogsInfo };

    JournalOperation(int number, QStringList *journal) : number(number), journal(journal) {}

    void apply() override { step(QStringLiteral("apply")); }
    void undo() override { step(QStringLiteral("undo")); }
    void redo() override { step(QStringLiteral("redo")); }
    bool confirmUndo() override { return confirm(QStringLiteral("confirm undo"), allowUndo); }
    bool confirmRedo() override { return confirm(QStringLiteral("confirm redo"), allowRedo); }
    QSet<AudioFile *> referencedAudioFiles() const override { return {file(number)}; }

    int number;
    QStringList *journal;
    Failure failure = NoFailure;
    bool allowUndo = true;
    bool allowRedo = true;
    bool journalsConfirmations = false;

private:
    bool confirm(const QString &what, bool allowed)
    {
        if (journalsConfirmations)
            journal->append(QStringLiteral("%1 %2").arg(what).arg(number));
        return allowed;
    }

    void step(const QString &what)
    {
        journal->append(QStringLiteral("%1 %2").arg(what).arg(number));
        if (failure == ThrowsException)
            throw Exception(0x5A5A0001u, {number});
        if (failure == LogsWarning)
            Logger::warning(0x5A5A0002u);
        if (failure == LogsInfo)
            Logger::info(0x5A5A0003u);
    }
};

// What the queue's signals said, in order: "applied n", "changed n", "changed null".
class SignalJournal : public QObject
{
public:
    explicit SignalJournal(OperationQueue *queue)
    {
        const auto name = [](Operation *operation) {
            auto *journalOperation = static_cast<JournalOperation *>(operation);
            return journalOperation ? QString::number(journalOperation->number) : QStringLiteral("null");
        };
        connect(queue, &OperationQueue::operationApplied, this, [=, this](Operation *o) { texts << "applied " + name(o); });
        connect(queue, &OperationQueue::operationUndone, this, [=, this](Operation *o) { texts << "undone " + name(o); });
        connect(queue, &OperationQueue::operationRedone, this, [=, this](Operation *o) { texts << "redone " + name(o); });
        connect(queue, &OperationQueue::changed, this, [=, this](Operation *o) { texts << "changed " + name(o); });
    }
    QStringList texts;
};

QList<int> numbers(const QVector<Operation *> &stack)
{
    QList<int> result;
    for (Operation *operation : stack)
        result.append(static_cast<JournalOperation *>(operation)->number);
    return result;
}

} // namespace

class TestOperationQueue : public QObject
{
    Q_OBJECT

    // Keeps what the queue would show instead of opening a dialog.
    HeadlessMainWindow m_window;

private slots:
    void init() { m_window.shownMessages.clear(); }

    // Apply, undo and redo move operations between the stacks and say so, each step once.
    void applyUndoRedo()
    {
        OperationQueue queue;
        QStringList journal;
        SignalJournal signals_(&queue);
        auto *first = new JournalOperation(1, &journal);
        auto *second = new JournalOperation(2, &journal);
        queue.apply(first);
        queue.apply(second);
        QCOMPARE(first->parent(), &queue);
        QCOMPARE(queue.undoOperation(), second);
        QCOMPARE(queue.redoOperation(), nullptr);

        queue.undo();
        queue.undo();
        QCOMPARE(numbers(queue.undoStack()), QList<int>());
        QCOMPARE(numbers(queue.redoStack()), QList<int>({2, 1}));
        QCOMPARE(queue.redoOperation(), first);
        queue.redo();
        QCOMPARE(numbers(queue.undoStack()), QList<int>({1}));
        QCOMPARE(numbers(queue.redoStack()), QList<int>({2}));

        // Undo then redo leaves the stacks as they were before the undo.
        queue.undo();
        queue.redo();
        QCOMPARE(numbers(queue.undoStack()), QList<int>({1}));
        QCOMPARE(numbers(queue.redoStack()), QList<int>({2}));

        QCOMPARE(journal, QStringList({"apply 1", "apply 2", "undo 2", "undo 1", "redo 1", "undo 1", "redo 1"}));
        QCOMPARE(signals_.texts, QStringList({"applied 1", "changed 1", "applied 2", "changed 2", "undone 2", "changed 2",
                                              "undone 1", "changed 1", "redone 1", "changed 1", "undone 1", "changed 1",
                                              "redone 1", "changed 1"}));
        QVERIFY(m_window.shownMessages.isEmpty());
    }

    // Steps that find nothing to do, or are refused, change nothing and say nothing.
    void stepsWithoutEffect()
    {
        OperationQueue queue;
        QStringList journal;
        SignalJournal signals_(&queue);
        queue.undo();
        queue.redo();

        auto *first = new JournalOperation(1, &journal);
        auto *second = new JournalOperation(2, &journal);
        queue.apply(first);
        queue.apply(second);
        queue.undo();
        signals_.texts.clear();
        journal.clear();

        // Handing in an operation that is already queued, on either stack.
        queue.apply(first);
        queue.apply(second);
        queue.apply(nullptr);
        // Refused confirmations.
        first->allowUndo = false;
        second->allowRedo = false;
        queue.undo();
        queue.redo();
        QCOMPARE(journal, QStringList());
        QCOMPARE(signals_.texts, QStringList());
        QCOMPARE(numbers(queue.undoStack()), QList<int>({1}));
        QCOMPARE(numbers(queue.redoStack()), QList<int>({2}));

        second->allowRedo = true;
        queue.redo();
        QCOMPARE(journal, QStringList({"redo 2"}));
    }

    // Ten steps are kept; the eleventh apply deletes the oldest, whose files are then no
    // longer referenced. A new apply deletes whatever could be redone.
    void limitAndRedoDiscarded()
    {
        OperationQueue queue;
        QStringList journal;
        QList<QPointer<Operation>> operations;
        for (int n = 1; n <= 10; ++n) {
            operations.append(new JournalOperation(n, &journal));
            queue.apply(operations.last());
        }
        QCOMPARE(queue.limit(), 10);
        QVERIFY(queue.referencedAudioFiles().contains(file(1)));

        operations.append(new JournalOperation(11, &journal));
        queue.apply(operations.last());
        QVERIFY(operations.at(0).isNull());
        QCOMPARE(queue.undoStack().size(), 10);
        QCOMPARE(numbers(queue.undoStack()).first(), 2);
        QVERIFY(!queue.referencedAudioFiles().contains(file(1)));
        QCOMPARE(queue.referencedAudioFiles().size(), 10);

        // Undone operations are still referenced (they can be redone) until a new apply.
        queue.undo();
        queue.undo();
        QCOMPARE(queue.referencedAudioFiles().size(), 10);
        auto *fresh = new JournalOperation(12, &journal);
        queue.apply(fresh);
        QVERIFY(operations.at(10).isNull());
        QVERIFY(operations.at(9).isNull());
        QCOMPARE(queue.redoOperation(), nullptr);
        QCOMPARE(numbers(queue.undoStack()), QList<int>({2, 3, 4, 5, 6, 7, 8, 9, 12}));
        QVERIFY(!queue.referencedAudioFiles().contains(file(11)));
    }

    // A failing step still moves its operation and emits its signals; what it logged is
    // shown when a warning or an error is among it.
    void failures_data()
    {
        QTest::addColumn<int>("failure");
        QTest::addColumn<quint32>("shownCode"); // 0: nothing shown

        QTest::newRow("exception") << int(JournalOperation::ThrowsException) << 0x5A5A0001u;
        QTest::newRow("warning") << int(JournalOperation::LogsWarning) << 0x5A5A0002u;
        QTest::newRow("information only") << int(JournalOperation::LogsInfo) << 0u;
    }

    void failures()
    {
        QFETCH(int, failure);
        QFETCH(quint32, shownCode);

        OperationQueue queue;
        QStringList journal;
        SignalJournal signals_(&queue);
        auto *operation = new JournalOperation(1, &journal);
        operation->failure = JournalOperation::Failure(failure);

        queue.apply(operation);
        queue.undo();
        queue.redo();
        QCOMPARE(journal, QStringList({"apply 1", "undo 1", "redo 1"}));
        QCOMPARE(signals_.texts, QStringList({"applied 1", "changed 1", "undone 1", "changed 1", "redone 1", "changed 1"}));
        QCOMPARE(queue.undoOperation(), operation);
        if (!shownCode) {
            QVERIFY(m_window.shownMessages.isEmpty());
            return;
        }
        // One showing per step, each with only that step's messages.
        QCOMPARE(m_window.shownMessages.size(), 3);
        for (const QList<LogMessage> &messages : std::as_const(m_window.shownMessages)) {
            QCOMPARE(messages.size(), 1);
            QCOMPARE(messages.first().code, shownCode);
        }
    }

    // What a listener of the queue logs is collected with the operation's own messages.
    void listenerMessagesCollected()
    {
        OperationQueue queue;
        QStringList journal;
        connect(&queue, &OperationQueue::changed, this, [] { Logger::error(0x5A5A0004u); });
        auto *operation = new JournalOperation(1, &journal);
        operation->failure = JournalOperation::LogsInfo;
        queue.apply(operation);
        QCOMPARE(m_window.shownMessages.size(), 1);
        QCOMPARE(m_window.shownMessages.first().size(), 2);
        QCOMPARE(m_window.shownMessages.first().at(0).code, 0x5A5A0003u);
        QCOMPARE(m_window.shownMessages.first().at(1).code, 0x5A5A0004u);
    }

    // Clearing deletes every operation and says so even when nothing was queued; the queue
    // deletes what it still holds when it goes.
    void clearAndOwnership()
    {
        QStringList journal;
        QPointer<Operation> undoable;
        QPointer<Operation> redoable;
        {
            OperationQueue queue;
            SignalJournal signals_(&queue);
            queue.clear();
            QCOMPARE(signals_.texts, QStringList({"changed null"}));

            undoable = new JournalOperation(1, &journal);
            redoable = new JournalOperation(2, &journal);
            queue.apply(undoable);
            queue.apply(redoable);
            queue.undo();
            queue.clear();
            QVERIFY(undoable.isNull());
            QVERIFY(redoable.isNull());
            QVERIFY(queue.referencedAudioFiles().isEmpty());
            QCOMPARE(queue.undoOperation(), nullptr);

            undoable = new JournalOperation(3, &journal);
            redoable = new JournalOperation(4, &journal);
            queue.apply(undoable);
            queue.apply(redoable);
            queue.undo();
        }
        QVERIFY(undoable.isNull());
        QVERIFY(redoable.isNull());
    }

    // A compound operation runs every child, the undo last to first, and reports one error
    // after the children's own.
    void compoundRunsEveryChild()
    {
        OperationQueue queue;
        QStringList journal;
        auto *compound = new CompoundOperation;
        QList<QPointer<Operation>> children;
        for (int n = 1; n <= 3; ++n) {
            auto *child = new JournalOperation(n, &journal);
            child->failure = n == 2 ? JournalOperation::ThrowsException : JournalOperation::NoFailure;
            compound->addOperation(child);
            children.append(child);
        }
        QCOMPARE(children.first()->parent(), compound);
        QCOMPARE(compound->referencedAudioFiles(), QSet<AudioFile *>({file(1), file(2), file(3)}));

        queue.apply(compound);
        queue.undo();
        queue.redo();
        QCOMPARE(journal, QStringList({"apply 1", "apply 2", "apply 3", "undo 3", "undo 2", "undo 1", "redo 1",
                                       "redo 2", "redo 3"}));
        const QList<quint32> finalCodes{CompoundApplyFailedTextId, CompoundUndoFailedTextId, CompoundRedoFailedTextId};
        QCOMPARE(m_window.shownMessages.size(), 3);
        for (int step = 0; step < 3; ++step) {
            const QList<LogMessage> &messages = m_window.shownMessages.at(step);
            QCOMPARE(messages.size(), 2);
            QCOMPARE(messages.at(0).code, 0x5A5A0001u);
            QCOMPARE(messages.at(1).code, finalCodes.at(step));
            QCOMPARE(messages.at(1).level, LogLevel::Error);
        }
        queue.clear();
        for (const QPointer<Operation> &child : std::as_const(children))
            QVERIFY(child.isNull());
    }

    // The confirmations ask the children first to last and stop at the first refusal,
    // before any child is undone.
    void compoundConfirmations()
    {
        OperationQueue queue;
        QStringList journal;
        auto *compound = new CompoundOperation;
        QList<JournalOperation *> children;
        for (int n = 1; n <= 3; ++n) {
            children.append(new JournalOperation(n, &journal));
            children.last()->journalsConfirmations = true;
            compound->addOperation(children.last());
        }
        queue.apply(compound);
        journal.clear();
        children.at(1)->allowUndo = false;
        queue.undo();
        QCOMPARE(journal, QStringList({"confirm undo 1", "confirm undo 2"}));
        QCOMPARE(queue.undoOperation(), compound);

        journal.clear();
        children.at(1)->allowUndo = true;
        queue.undo();
        QCOMPARE(journal, QStringList({"confirm undo 1", "confirm undo 2", "confirm undo 3", "undo 3", "undo 2",
                                       "undo 1"}));

        // Without children nothing runs, nothing fails.
        auto *empty = new CompoundOperation;
        queue.apply(empty);
        queue.undo();
        queue.redo();
        QCOMPARE(queue.undoOperation(), empty);
        QVERIFY(empty->referencedAudioFiles().isEmpty());
        QVERIFY(m_window.shownMessages.isEmpty());
    }
};

QTEST_MAIN(TestOperationQueue)
#include "tst_operationqueue.moc"
