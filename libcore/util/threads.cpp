#include "libcore/util/threads.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QRecursiveMutex>
#include <QSharedPointer>
#include <QThread>
#include <QTimer>

#include "libcore/log/logger.h"
#include "libcore/text/stringutils.h"

namespace {

// Re-parenting and the hand-over of a cross-thread deletion never interleave.
QRecursiveMutex &crossThreadMutex()
{
    static QRecursiveMutex mutex;
    return mutex;
}

// The per-object child-event switches live in QObjectData, which qobject.h declares;
// the protected d_ptr is reached through a member pointer named via a subclass.
struct ObjectData : QObject
{
    static QObjectData *of(QObject *object)
    {
        return (object->*(&ObjectData::d_ptr)).data();
    }
};

void postChildEvent(QObject *receiver, QEvent::Type type, QObject *child)
{
    QCoreApplication::postEvent(receiver, new QChildEvent(type, child));
}

const quint32 CannotMoveToThread = 2789967010u;

} // namespace

void sleepMsecs(int msecs)
{
    QThread::msleep(static_cast<unsigned long>(qMax(msecs, 0)));
}

void sleepUsecs(int usecs)
{
    QThread::usleep(static_cast<unsigned long>(qMax(usecs, 0)));
}

void muteChildEvents(QObject *owner)
{
    if (owner)
        ObjectData::of(owner)->receiveChildEvents = false;
}

void setParentAcrossThreads(QObject *object, QObject *parent)
{
    if (!object)
        return;
    // Objects of the calling thread are moved by no other thread: re-parenting among them
    // needs no lock. Reader threads do this for every tag and item they make.
    QThread *const caller = QThread::currentThread();
    if (object->thread() == caller && (!parent || parent->thread() == caller)) {
        if (object->parent() != parent)
            object->setParent(parent);
        return;
    }
    QMutexLocker lock(&crossThreadMutex());
    if (object->parent() == parent)
        return;

    QThread *const current = QThread::currentThread();
    QThread *const objectThread = object->thread();
    QThread *const parentThread = parent ? parent->thread() : nullptr;

    if (objectThread == current && (!parent || parentThread == objectThread)) {
        object->setParent(parent);
        return;
    }

    // From here on the parents may belong to other threads: no synchronous child events.
    QObjectData *const data = ObjectData::of(object);
    const bool sendChildEvents = data->sendChildEvents;
    data->sendChildEvents = false;

    if (QObject *oldParent = object->parent()) {
        object->setParent(nullptr);
        if (ObjectData::of(oldParent)->receiveChildEvents && sendChildEvents)
            postChildEvent(oldParent, QEvent::ChildRemoved, object);
    }

    bool attach = false;
    if (!parent) {
        attach = false;
    } else if (parentThread == objectThread) {
        attach = true;
    } else if (objectThread == current || (!objectThread && current == parentThread)) {
        object->moveToThread(parentThread);
        attach = true;
    } else {
        Logger::error(CannotMoveToThread,
                      {pointerToString(objectThread), pointerToString(parentThread),
                       pointerToString(current)});
    }

    if (attach) {
        object->setParent(parent);
        if (ObjectData::of(parent)->receiveChildEvents && sendChildEvents)
            postChildEvent(parent, QEvent::ChildAdded, object);
    }
    data->sendChildEvents = sendChildEvents;
}

void deleteObjectSafely(QObject *object)
{
    if (!object)
        return;
    QMutexLocker lock(&crossThreadMutex());
    QThread *const thread = object->thread();
    // A thread that does not run would never process the deferred deletion.
    if (!thread || thread == QThread::currentThread() || !thread->isRunning()) {
        delete object;
        return;
    }

    auto destroyed = QSharedPointer<QAtomicInt>::create(0);
    QEventLoop loop;
    QObject::connect(object, &QObject::destroyed, [destroyed] { destroyed->storeRelease(1); });
    QObject::connect(object, &QObject::destroyed, &loop, &QEventLoop::quit);
    // A queued call rather than deleteLater(): a deferred deletion posted from another thread
    // runs only inside an exec()'d event loop, and a thread that merely processes events (a
    // progress dialog's loop in a tool without exec()) would leave this thread waiting forever.
    QMetaObject::invokeMethod(object, [object] { delete object; }, Qt::QueuedConnection);
    // Held while waiting, the lock would stop the owner thread at its next move of an object
    // across threads, before it gets to the deletion.
    lock.unlock();

    // The thread may end before it gets to the deferred deletion; once it has finished,
    // nothing runs there any more and the object can be deleted from here.
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (destroyed->loadAcquire()) {
            loop.quit();
        } else if (thread->isFinished()) {
            delete object;
            loop.quit();
        }
    });
    watch.start();
    if (!destroyed->loadAcquire())
        loop.exec(QEventLoop::AllEvents);
}
