#pragma once

#include "app/operations/audiofileselection.h"
#include "app/operations/operation.h"

// A change of the file table, made for a selection of cells; the selection's model is the
// model the operation is applied to.
class ModelOperation : public Operation
{
    Q_OBJECT
public:
    explicit ModelOperation(const AudioFileSelection &selection, QObject *parent = nullptr);

    const AudioFileSelection &selection() const { return m_selection; }

private:
    AudioFileSelection m_selection;
};
