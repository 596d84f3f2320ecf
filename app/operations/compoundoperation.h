#pragma once

#include <QList>

#include "app/operations/operation.h"

enum CompoundOperationTextId : quint32 {
    CompoundApplyFailedTextId = 0x5F94A363u,
    CompoundRedoFailedTextId = 0x05E5DBEEu,
    CompoundUndoFailedTextId = 0x485AD418u,
};

// Several operations as one undo step. Every child runs even when one before it fails (the
// children report their own failures); one error at the end says that something failed.
class CompoundOperation : public Operation
{
    Q_OBJECT
public:
    explicit CompoundOperation(QObject *parent = nullptr);

    // Takes the child over.
    void addOperation(Operation *operation);
    QList<Operation *> operations() const { return m_children; }

    // Undo runs the children last to first; the confirmations ask them first to last.
    void apply() override;
    void undo() override;
    void redo() override;
    bool confirmUndo() override;
    bool confirmRedo() override;
    QSet<AudioFile *> referencedAudioFiles() const override;

private:
    QList<Operation *> m_children;
};
