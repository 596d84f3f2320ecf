#pragma once

class QObject;

// Blocking pauses of the calling thread.
void sleepMsecs(int msecs);
void sleepUsecs(int usecs);

// Qt sends an owner an event, synchronously, for every child added or removed. Owners that
// nobody listens on for them and that see many short-lived children turn them off.
void muteChildEvents(QObject *owner);

// Gives an object a new parent (or none) even when the object, the parent and the calling
// thread differ: the object is moved into the parent's thread first, and child events reach
// each parent through its own thread's event queue.
void setParentAcrossThreads(QObject *object, QObject *parent);

// Deletes an object in its own thread and returns once it is gone; that thread need only
// process events, not run exec(). Objects of the calling thread, of no thread, or of a
// thread that no longer runs are deleted at once.
void deleteObjectSafely(QObject *object);
