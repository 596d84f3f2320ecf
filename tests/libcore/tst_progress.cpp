#include <QtTest>

#include <QSemaphore>

#include <atomic>
#include <memory>

#include "libcore/log/logger.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/progress/linearprogressobject.h"
#include "libcore/progress/progressthread.h"
#include "libcore/progress/timeoutprogressobject.h"
#include "libcore/text/stringutils.h"

namespace {

class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    void log(const LogMessage &message) override
    {
        QMutexLocker lock(&mutex);
        messages.append(message);
    }
    QList<LogMessage> withCode(quint32 code)
    {
        QMutexLocker lock(&mutex);
        QList<LogMessage> found;
        for (const LogMessage &m : std::as_const(messages))
            if (m.code == code)
                found.append(m);
        return found;
    }
    QMutex mutex;
    QList<LogMessage> messages;
};

// Records the signals of one progress object in the order they arrive.
struct SignalLog
{
    explicit SignalLog(ProgressObject *object)
    {
        QObject::connect(object, &ProgressObject::progressUpdated, [this] { names << "updated"; });
        QObject::connect(object, &ProgressObject::progressFinished, [this] { names << "finished"; });
        QObject::connect(object, &ProgressObject::progressCanceled, [this] { names << "canceled"; });
    }
    QStringList names;
};

// A worker whose run() is a function given by the test.
class Worker : public ProgressThread
{
public:
    explicit Worker(std::function<void(Worker *)> body) : m_body(std::move(body)) {}
    ~Worker() override { cancelAndWait(); }

    QSemaphore started;   // released by the body when it is under way
    QSemaphore proceed;   // released by the test to let the body go on
protected:
    void run() override { m_body(this); }

private:
    std::function<void(Worker *)> m_body;
};

// Waits in the worker until the root is canceled, without a bound on how long.
void waitForCancel(Worker *worker)
{
    while (!worker->progressObject()->isCanceled())
        QThread::msleep(2);
}

const quint32 DestroyedWhileRunning = 494847600u;
const quint32 StillRunningAfterCancel = 3702513846u;

} // namespace

class TestProgress : public QObject
{
    Q_OBJECT
private slots:
    void linearStepsAndFinishes()
    {
        LinearProgressObject p;
        p.setMaximum(10);
        SignalLog log(&p);
        p.setValue(3);
        QVERIFY(p.isRunning());
        QCOMPARE(p.progress(), 0.3);
        QCOMPARE(log.names, QStringList({"updated"}));
        p.setValue(2); // never decreases
        QCOMPARE(p.value(), 3);
        QCOMPARE(log.names.size(), 1);
        p.setMaximum(100); // fixed once started
        QCOMPARE(p.maximum(), 10);
        p.advance(20);
        QCOMPARE(p.value(), 10);
        QVERIFY(p.isFinished());
        QCOMPARE(p.progress(), 1.0);
        QCOMPARE(log.names, QStringList({"updated", "updated", "finished"}));
        p.finish();
        p.cancel();
        QVERIFY(p.isFinished());
        QCOMPARE(log.names.size(), 3);
    }

    void linearWithoutMaximumStaysIdle()
    {
        LinearProgressObject p;
        SignalLog log(&p);
        p.setValue(5);
        QVERIFY(!p.isRunning() && !p.isFinished() && !p.isCanceled());
        QCOMPARE(p.value(), 0);
        QCOMPARE(p.progress(), 0.0);
        QVERIFY(log.names.isEmpty());
    }

    void canceledLinearNeverFinishes()
    {
        LinearProgressObject p;
        p.setMaximum(4);
        p.setValue(1);
        p.cancel();
        SignalLog log(&p);
        p.advance(10);
        QVERIFY(p.isCanceled());
        QCOMPARE(p.value(), 4);
        QCOMPARE(log.names, QStringList({"updated"}));
        QCOMPARE(p.progress(), 0.0);
    }

    void nonCancelableIgnoresCancel()
    {
        LinearProgressObject p;
        p.setMaximum(4);
        p.setValue(1);
        p.setCancelable(false);
        SignalLog log(&p);
        p.cancel();
        QVERIFY(p.isRunning());
        QVERIFY(log.names.isEmpty());
    }

    void statusText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("both placeholders") << "%1 of %2" << QVariantList{3, 7} << "3 of 7";
        QTest::newRow("missing argument") << "%1 of %2" << QVariantList{3} << "3 of %2";
        QTest::newRow("extra argument") << "file %1" << QVariantList{"a.mp3", 9} << "file a.mp3";
        QTest::newRow("lowest placeholder first") << "%2 then %1" << QVariantList{"x", "y"} << "y then x";
        QTest::newRow("no arguments") << "reading %1" << QVariantList{} << "reading %1";
    }
    void statusText()
    {
        QFETCH(QString, text);
        QFETCH(QVariantList, arguments);
        QFETCH(QString, expected);
        LinearProgressObject p;
        p.setStatusText(text);
        p.setStatusArguments(arguments);
        QCOMPARE(p.statusText(), expected);
    }

    void unchangedStatusEmitsNothing()
    {
        LinearProgressObject p;
        p.setStatusText("%1");
        p.setStatusArguments({3, QStringLiteral("x")});
        SignalLog log(&p);
        p.setStatusText("%1");
        p.setStatusArguments({3, QStringLiteral("x")});
        p.setCancelable(true);
        QVERIFY(log.names.isEmpty());
        p.setStatusArguments({3});
        QCOMPARE(log.names.size(), 1);
    }

    void combinedWeights_data()
    {
        QTest::addColumn<QList<double>>("weights");
        QTest::addColumn<QList<int>>("steps"); // of 4 each
        QTest::addColumn<double>("expected");
        QTest::newRow("weighted") << QList<double>{3, 1} << QList<int>{2, 4} << 0.625;
        QTest::newRow("one child ignores its weight") << QList<double>{0} << QList<int>{1} << 0.25;
        QTest::newRow("all weights zero") << QList<double>{0, 0} << QList<int>{2, 2} << 0.0;
        QTest::newRow("negative weight counts as zero") << QList<double>{-2, 1} << QList<int>{4, 2} << 0.5;
    }
    void combinedWeights()
    {
        QFETCH(QList<double>, weights);
        QFETCH(QList<int>, steps);
        QFETCH(double, expected);
        CombinedProgressObject combined;
        QList<LinearProgressObject *> children;
        for (double w : weights) {
            auto *child = new LinearProgressObject;
            child->setMaximum(4);
            combined.addChild(child, w, true);
            children.append(child);
        }
        QCOMPARE(combined.progress(), 0.0); // idle: children not consulted
        // Step the unfinished ones last so that the combined object is still running.
        for (int i = int(children.size()) - 1; i >= 0; --i)
            children[i]->setValue(steps[i]);
        QVERIFY(combined.isRunning());
        QCOMPARE(combined.progress(), expected);
    }

    void addChildOnlyWhileIdle()
    {
        CombinedProgressObject combined;
        auto *first = new LinearProgressObject;
        first->setMaximum(2);
        combined.addChild(first, 1, true);
        QCOMPARE(first->parent(), &combined);
        first->setValue(1);
        QVERIFY(combined.isRunning());
        LinearProgressObject late;
        combined.addChild(&late, 1, true);
        QCOMPARE(combined.childCount(), 1);
        QCOMPARE(late.parent(), nullptr);
        QCOMPARE(combined.child(0), first);
        QCOMPARE(combined.child(1), nullptr);
        QCOMPARE(combined.child(-1), nullptr);
    }

    void cancelSpreadsBothWays()
    {
        CombinedProgressObject combined;
        LinearProgressObject a, b, c;
        for (LinearProgressObject *child : {&a, &b, &c}) {
            child->setMaximum(10);
            combined.addChild(child, 1, false);
        }
        a.setValue(1);
        SignalLog log(&combined);
        b.cancel();
        QVERIFY(combined.isCanceled());
        QVERIFY(a.isCanceled() && c.isCanceled());
        QCOMPARE(log.names.count("canceled"), 1);

        CombinedProgressObject other;
        LinearProgressObject d, e;
        other.addChild(&d, 1, false);
        other.addChild(&e, 1, false);
        other.cancel();
        QVERIFY(d.isCanceled() && e.isCanceled());
    }

    void finishingSpreadsBothWays()
    {
        CombinedProgressObject empty;
        QVERIFY(!empty.isFinished());

        CombinedProgressObject combined;
        LinearProgressObject a, b;
        combined.addChild(&a, 1, false);
        combined.addChild(&b, 1, false);
        SignalLog log(&combined);
        a.finish();
        QVERIFY(!combined.isFinished());
        b.finish();
        QVERIFY(combined.isFinished());
        QCOMPARE(log.names.count("finished"), 1);

        CombinedProgressObject parent;
        LinearProgressObject c;
        parent.addChild(&c, 1, false);
        parent.finish();
        QVERIFY(c.isFinished());
    }

    void timeoutProgress()
    {
        TimeoutProgressObject p;
        p.start(400);
        QTest::qWait(100);
        // The progress lies between the elapsed times read just before and after it, however
        // long the machine stalls in between.
        const int before = p.elapsed();
        const double progress = p.progress();
        const int after = p.elapsed();
        QVERIFY(before >= 100);
        QVERIFY2(progress >= before / 400.0 && progress <= qMin(1.0, (after + 1) / 400.0),
                 qPrintable(QStringLiteral("%1 between %2 and %3 ms").arg(progress).arg(before).arg(after)));
        QTRY_COMPARE_WITH_TIMEOUT(p.progress(), 1.0, 2000);
        QTest::qWait(150);
        QVERIFY(p.isRunning()); // expired, but not asked to finish
        QSignalSpy finished(&p, &ProgressObject::progressFinished);
        p.setFinishOnTimeout(true); // already expired: finishes at once
        QVERIFY(p.isFinished());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(p.elapsed(), 0);
    }

    void timeoutFinishesAtTick_data()
    {
        QTest::addColumn<int>("timeout");
        QTest::addColumn<bool>("finishes");
        QTest::newRow("positive") << 150 << true;
        QTest::newRow("zero") << 0 << true;
        QTest::newRow("negative never expires") << -1 << false;
    }
    void timeoutFinishesAtTick()
    {
        QFETCH(int, timeout);
        QFETCH(bool, finishes);
        TimeoutProgressObject p;
        p.setFinishOnTimeout(true);
        QSignalSpy updated(&p, &ProgressObject::progressUpdated);
        p.start(timeout);
        if (timeout <= 0)
            QCOMPARE(p.progress(), 0.0);
        if (finishes) {
            QTRY_VERIFY_WITH_TIMEOUT(p.isFinished(), 2000);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(updated.size() >= 3, 5000); // ticks every 100 ms
            QVERIFY(p.isRunning());
            QCOMPARE(p.progress(), 0.0);
        }
    }

    // The tick timer belongs to the thread that made the object; starting and cancelling
    // from a worker must still tick there and stop there.
    void timeoutStartedFromWorker()
    {
        TimeoutProgressObject p;
        QSignalSpy updated(&p, &ProgressObject::progressUpdated);
        std::unique_ptr<QThread> worker(QThread::create([&p] { p.start(10000); }));
        worker->start();
        QVERIFY(worker->wait(5000));
        QTRY_VERIFY_WITH_TIMEOUT(updated.size() >= 3, 2000);
        worker.reset(QThread::create([&p] { p.cancel(); }));
        worker->start();
        QVERIFY(worker->wait(5000));
        QTest::qWait(50);
        const qsizetype after = updated.size();
        QTest::qWait(250);
        QCOMPARE(updated.size(), after);
    }

    void threadOutcome_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("finishes the root") << 0 << "completed";
        QTest::newRow("all stages finish") << 1 << "completed";
        QTest::newRow("canceled from the owner") << 2 << "canceled";
        QTest::newRow("returns untouched") << 3 << "failed";
        QTest::newRow("finishes after cancel") << 4 << "canceled";
    }
    void threadOutcome()
    {
        QFETCH(int, behaviour);
        QFETCH(QString, outcome);
        Worker worker([behaviour](Worker *w) {
            CombinedProgressObject *root = w->progressObject();
            auto *stage = new LinearProgressObject;
            stage->setMaximum(3);
            if (behaviour != 3)
                root->addChild(stage, 1, true);
            else
                delete stage;
            switch (behaviour) {
            case 0:
                stage->advance(1);
                root->finish();
                break;
            case 1:
                stage->advance(3);
                break;
            case 2:
            case 4:
                stage->advance(1);
                w->started.release();
                waitForCancel(w);
                if (behaviour == 4)
                    root->finish();
                break;
            default:
                break;
            }
        });
        QStringList events;
        connect(&worker, &ProgressThread::progressUpdated, this, [&] { events << "updated"; });
        connect(&worker, &ProgressThread::completed, this, [&] { events << "completed"; });
        connect(&worker, &ProgressThread::canceled, this, [&] { events << "canceled"; });
        connect(&worker, &ProgressThread::failed, this, [&] { events << "failed"; });
        worker.start();
        if (behaviour == 2 || behaviour == 4) {
            QVERIFY(worker.started.tryAcquire(1, 5000));
            worker.progressObject()->cancel();
        }
        QTRY_VERIFY_WITH_TIMEOUT(events.contains(outcome), 5000);
        QTest::qWait(50);
        QCOMPARE(events.count("completed") + events.count("canceled") + events.count("failed"), 1);
        QCOMPARE(events.last(), outcome);
        if (behaviour != 3) {
            QVERIFY(events.count("updated") >= 2); // the stage added, then stepped
            ProgressObject *stage = worker.progressObject()->child(0);
            QCOMPARE(stage->thread(), QThread::currentThread());
            QCOMPARE(stage->parent(), worker.progressObject());
        }
    }

    // Stages stepped from the worker add up in the owner's view by their weights.
    void stagesAddUpByWeight()
    {
        Worker worker([](Worker *w) {
            auto *scan = new LinearProgressObject;
            auto *write = new LinearProgressObject;
            scan->setMaximum(4);
            write->setMaximum(4);
            w->progressObject()->addChild(scan, 1, true);
            w->progressObject()->addChild(write, 3, true);
            scan->advance(4);
            write->advance(2);
            w->started.release();
            w->proceed.acquire();
            write->advance(2);
        });
        QSignalSpy completed(&worker, &ProgressThread::completed);
        worker.start();
        QVERIFY(worker.started.tryAcquire(1, 5000));
        QTRY_VERIFY(worker.progressObject()->isRunning());
        QCOMPARE(worker.progressObject()->progress(), (1.0 * 1 + 0.5 * 3) / 4);
        worker.proceed.release();
        QVERIFY(completed.wait(5000));
        QCOMPARE(worker.progressObject()->progress(), 1.0);
    }

    // The owner reads and cancels while the worker steps as fast as it can: no deadlock, and
    // exactly one outcome.
    void workerFinishesRootWhileChildUpdatesGoUp()
    {
        // A worker finishes the root (the end of every progress thread) while the GUI thread
        // passes a finished child up the same tree: root -> stage -> step, all of the GUI
        // thread. Taking the locks root first in one thread and step first in the other used
        // to leave both waiting now and then; each round must end promptly.
        for (int round = 0; round < 2000; ++round) {
            CombinedProgressObject root;
            auto *stage = new CombinedProgressObject;
            auto *step = new LinearProgressObject;
            stage->addChild(step, 1, true);
            root.addChild(stage, 1, true);
            std::atomic<int> ready{0};
            std::unique_ptr<QThread> worker(QThread::create([&root, &ready] {
                ready.fetch_add(1);
                while (ready.load() < 2) {
                }
                root.finish();
            }));
            worker->start();
            ready.fetch_add(1);
            while (ready.load() < 2) {
            }
            step->finish();
            QVERIFY2(worker->wait(5000), qPrintable(QString::number(round)));
            QVERIFY(root.isFinished() && stage->isFinished() && step->isFinished());
        }
    }

    void cancelWhileWorkerSteps()
    {
        Worker worker([](Worker *w) {
            auto *stage = new LinearProgressObject;
            stage->setMaximum(INT_MAX);
            w->progressObject()->addChild(stage, 1, true);
            w->started.release();
            while (!w->progressObject()->isCanceled()) {
                stage->advance(1);
                stage->setStatusArguments({stage->value()});
            }
            w->progressObject()->finish();
        });
        QSignalSpy completed(&worker, &ProgressThread::completed);
        QSignalSpy canceled(&worker, &ProgressThread::canceled);
        QSignalSpy failed(&worker, &ProgressThread::failed);
        worker.start();
        QVERIFY(worker.started.tryAcquire(1, 5000));
        for (int i = 0; i < 200; ++i) {
            QCoreApplication::processEvents();
            const double now = worker.progressObject()->progress();
            QVERIFY(now >= 0.0 && now <= 1.0);
        }
        worker.progressObject()->cancel();
        QVERIFY(canceled.wait(5000));
        QTest::qWait(50);
        QCOMPARE(canceled.size(), 1);
        QCOMPARE(completed.size() + failed.size(), 0);
        QVERIFY(worker.progressObject()->child(0)->isCanceled());
    }

    void destroyingRunningThreadCancelsAndWaits()
    {
        CollectingLogger logger;
        std::atomic<bool> ended = false;
        auto *worker = new Worker([&ended](Worker *w) {
            w->started.release();
            waitForCancel(w);
            QThread::msleep(50);
            ended = true;
        });
        const QString pointer = pointerToString(static_cast<ProgressThread *>(worker));
        worker->start();
        QVERIFY(worker->started.tryAcquire(1, 5000));
        delete worker; // returns only after run() has returned on its own
        QVERIFY(ended);
        const QList<LogMessage> warnings = logger.withCode(DestroyedWhileRunning);
        QCOMPARE(warnings.size(), 1);
        QCOMPARE(warnings.first().level, Warning);
        QCOMPARE(warnings.first().arguments, QVariantList{pointer});
        QVERIFY(logger.withCode(StillRunningAfterCancel).isEmpty());
    }

    // A worker that does not react to cancellation is waited for, never killed.
    void destroyingStubbornThreadKeepsWaiting()
    {
        CollectingLogger logger;
        std::atomic<bool> ended = false;
        auto *worker = new Worker([&ended](Worker *w) {
            w->started.release();
            w->proceed.acquire(); // ignores the cancel
            ended = true;
        });
        worker->start();
        QVERIFY(worker->started.tryAcquire(1, 5000));
        std::unique_ptr<QThread> releaser(QThread::create([&logger, worker] {
            while (logger.withCode(StillRunningAfterCancel).isEmpty())
                QThread::msleep(10);
            worker->proceed.release();
        }));
        releaser->start();
        delete worker;
        QVERIFY(ended);
        QVERIFY(releaser->wait(5000));
        QCOMPARE(logger.withCode(DestroyedWhileRunning).size(), 1);
        QCOMPARE(logger.withCode(StillRunningAfterCancel).size(), 1);
    }

    void destroyingFinishedThreadLogsNothing()
    {
        CollectingLogger logger;
        auto *worker = new Worker([](Worker *w) { w->progressObject()->finish(); });
        worker->start();
        QVERIFY(worker->wait(5000));
        delete worker;
        QVERIFY(logger.messages.isEmpty());
    }

    void cancelAndDeleteLaterDoesNotBlock()
    {
        CollectingLogger logger;
        std::atomic<bool> sawCancel = false;
        std::atomic<bool> returned = false;
        std::atomic<bool> returnedWhileRunning = false;
        QSemaphore gate;
        // The worker winds down only once the call has returned: a call that waited for the
        // thread would return only after the gate's time ran out.
        QPointer<Worker> worker = new Worker([&](Worker *w) {
            w->started.release();
            waitForCancel(w);
            sawCancel = true;
            gate.tryAcquire(1, 10000);
            returnedWhileRunning = returned.load();
        });
        worker->start();
        QVERIFY(worker->started.tryAcquire(1, 5000));
        worker->cancelAndDeleteLater();
        returned = true;
        QVERIFY(worker); // still there while run() winds down
        QVERIFY(worker->isRunning());
        gate.release();
        QTRY_VERIFY_WITH_TIMEOUT(worker.isNull(), 15000);
        QVERIFY(sawCancel);
        QVERIFY(returnedWhileRunning);
        QVERIFY(logger.withCode(DestroyedWhileRunning).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestProgress)
#include "tst_progress.moc"
