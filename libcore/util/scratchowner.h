#pragma once

#include <QObject>

#include "libcore/util/threads.h"

// A plain owner of objects on their way to their final parent, or to be thrown away with it.
// Nothing listens on it for child events (see muteChildEvents).
class ScratchOwner : public QObject
{
public:
    explicit ScratchOwner(QObject *parent = nullptr) : QObject(parent)
    {
        muteChildEvents(this);
    }
};
