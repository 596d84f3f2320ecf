#include "app/operations/operation.h"

Operation::Operation(QObject *parent) : QObject(parent) {}

void Operation::clearDescription(bool clear)
{
    if (clear && !m_description.isNull())
        m_description = QString();
}

void Operation::redo()
{
    apply();
}

bool Operation::confirmUndo()
{
    return true;
}

bool Operation::confirmRedo()
{
    return true;
}

QSet<AudioFile *> Operation::referencedAudioFiles() const
{
    return {};
}
