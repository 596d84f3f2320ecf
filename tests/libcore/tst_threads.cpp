#include <QtTest>

#include <atomic>
#include <memory>

#include "libcore/log/logger.h"
#include "libcore/text/stringutils.h"
#include "libcore/util/threads.h"

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
    QMutex mutex;
    QList<LogMessage> messages;
};

// Records the child events it receives and the thread that delivered them.
class Recorder : public QObject
{
public:
    using QObject::QObject;
    QStringList events;
    QList<QThread *> threads;

protected:
    void childEvent(QChildEvent *event) override
    {
        events << (event->type() == QEvent::ChildAdded ? "added" : event->type() == QEvent::ChildRemoved ? "removed" : "other");
        threads << QThread::currentThread();
    }
};

// Notes the thread in which it is destroyed.
class Probe : public QObject
{
public:
    explicit Probe(QThread **destroyedIn) : m_destroyedIn(destroyedIn) {}
    ~Probe() override { *m_destroyedIn = QThread::currentThread(); }

private:
    QThread **m_destroyedIn;
};

void runIn(QThread *thread, const std::function<void()> &work)
{
    QObject context;
    context.moveToThread(thread);
    QMetaObject::invokeMethod(&context, work, Qt::BlockingQueuedConnection);
}

} // namespace

class TestThreads : public QObject
{
    Q_OBJECT
private slots:
    void mutedOwnerGetsNoChildEvents()
    {
        Recorder owner;
        auto *first = new QObject(&owner);
        muteChildEvents(&owner);
        auto *second = new QObject(&owner);
        first->setParent(nullptr);
        delete first;
        delete second;
        QCOMPARE(owner.events, QStringList{"added"});
    }

    void sameParentDoesNothing()
    {
        Recorder parent;
        auto *child = new QObject(&parent);
        parent.events.clear();
        setParentAcrossThreads(child, &parent);
        QCoreApplication::processEvents();
        QCOMPARE(child->parent(), &parent);
        QVERIFY(parent.events.isEmpty());
    }

    void sameThreadSendsEventsAtOnce()
    {
        Recorder oldParent, newParent;
        auto *child = new QObject(&oldParent);
        oldParent.events.clear();
        setParentAcrossThreads(child, &newParent);
        QCOMPARE(child->parent(), &newParent);
        QCOMPARE(oldParent.events, QStringList{"removed"});
        QCOMPARE(newParent.events, QStringList{"added"});
        setParentAcrossThreads(child, nullptr);
        QCOMPARE(child->parent(), nullptr);
        delete child;
    }

    // A result made in a worker joins an owner of this thread: it is moved here, and the
    // child events go through each parent's own event queue.
    void workerResultJoinsOwner()
    {
        QThread worker;
        worker.start();
        Recorder owner;
        Recorder *workerParent = nullptr;
        QObject *result = nullptr;
        runIn(&worker, [&] {
            workerParent = new Recorder;
            result = new QObject(workerParent);
            workerParent->events.clear();
            setParentAcrossThreads(result, &owner);
        });
        QCOMPARE(result->thread(), QThread::currentThread());
        QCOMPARE(result->parent(), &owner);
        QVERIFY(owner.events.isEmpty()); // posted, not sent from the worker
        QCoreApplication::processEvents();
        QCOMPARE(owner.events, QStringList{"added"});
        QCOMPARE(owner.threads.first(), QThread::currentThread());
        QTRY_COMPARE(workerParent->events, QStringList{"removed"}); // delivered by the worker's loop
        QCOMPARE(workerParent->threads.first(), &worker);
        QVERIFY(!workerParent->children().contains(result));
        deleteObjectSafely(workerParent);
        worker.quit();
        QVERIFY(worker.wait(5000));
    }

    void objectOfThirdThreadStaysWithoutParent()
    {
        CollectingLogger logger;
        QThread a, b;
        a.start();
        b.start();
        QObject owner;
        QObject *oldParent = nullptr;
        QObject *object = nullptr;
        runIn(&a, [&] {
            oldParent = new QObject;
            object = new QObject(oldParent);
        });
        runIn(&b, [&] { setParentAcrossThreads(object, &owner); });
        QCOMPARE(object->parent(), nullptr);
        QCOMPARE(object->thread(), &a);
        QCOMPARE(logger.messages.size(), 1);
        QCOMPARE(logger.messages.first().code, 2789967010u);
        QCOMPARE(logger.messages.first().level, Error);
        QCOMPARE(logger.messages.first().arguments,
                 QVariantList({pointerToString(&a), pointerToString(QThread::currentThread()),
                               pointerToString(&b)}));
        deleteObjectSafely(object);
        deleteObjectSafely(oldParent);
        a.quit();
        b.quit();
        QVERIFY(a.wait(5000) && b.wait(5000));
    }

    void deleteInOwnThread()
    {
        deleteObjectSafely(nullptr);
        QThread *destroyedIn = nullptr;
        deleteObjectSafely(new Probe(&destroyedIn));
        QCOMPARE(destroyedIn, QThread::currentThread());
    }

    void deleteInRunningThread()
    {
        QThread worker;
        worker.start();
        QThread *destroyedIn = nullptr;
        auto *probe = new Probe(&destroyedIn);
        probe->moveToThread(&worker);
        deleteObjectSafely(probe);
        QCOMPARE(destroyedIn, &worker);
        worker.quit();
        QVERIFY(worker.wait(5000));
    }

    // The owner thread only processes events, as a progress dialog's loop does in a tool that
    // never calls exec(): a deferred deletion would never run there. Should it come back, the
    // deletion is run by hand once the time is up, so that the test fails instead of hanging.
    void deleteForOwnerOutsideExec()
    {
        QThread *destroyedIn = nullptr;
        auto *probe = new Probe(&destroyedIn);
        std::atomic<bool> done = false;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            deleteObjectSafely(probe);
            done = true;
        }));
        worker->start();
        QElapsedTimer clock;
        clock.start();
        while (!done && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const bool inTime = done;
        if (!inTime)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(worker->wait(5000));
        QVERIFY(inTime);
        QCOMPARE(destroyedIn, QThread::currentThread());
    }

    // An object left behind by a thread that has ended (or never started) would wait for a
    // deferred deletion that nobody runs.
    void deleteInThreadThatDoesNotRun_data()
    {
        QTest::addColumn<bool>("started");
        QTest::newRow("finished") << true;
        QTest::newRow("never started") << false;
    }
    void deleteInThreadThatDoesNotRun()
    {
        QFETCH(bool, started);
        QThread worker;
        QThread *destroyedIn = nullptr;
        auto *probe = new Probe(&destroyedIn);
        probe->moveToThread(&worker);
        if (started) {
            worker.start();
            worker.quit();
            QVERIFY(worker.wait(5000));
        }
        QElapsedTimer clock;
        clock.start();
        deleteObjectSafely(probe);
        QCOMPARE(destroyedIn, QThread::currentThread());
        QVERIFY(clock.elapsed() < 1000);
    }
};

QTEST_GUILESS_MAIN(TestThreads)
#include "tst_threads.moc"
