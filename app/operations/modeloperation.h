#pragma once

#include "app/model/iaudiofilemodel.h"
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

protected:
    // Hands the operation to the model of its selection with one ApplyMode.
    template<typename Op>
    void applyThroughModel(void (IAudioFileModel::*apply)(Op *, int), Op *operation, int mode) const
    {
        if (IAudioFileModel *model = m_selection.model())
            (model->*apply)(operation, mode);
    }

private:
    AudioFileSelection m_selection;
};
