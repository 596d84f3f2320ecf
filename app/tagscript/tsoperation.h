#pragma once

#include "app/tagscript/tsexpression.h"

// An operation on its operands; type 0, concatenation, is the only one the parser makes.
class TsOperation : public TsExpression
{
public:
    enum Type : int { Concatenation = 0 };

    TsOperation(int type, const QList<TsExpression *> &operands, QObject *parent = nullptr);

    // Concatenation joins the display texts of the operands; other types have no value.
    QVariant evaluate(AudioFile *context, int mode) const override;
    QList<TsExpression *> children() const override { return operands; }

    const int type;
    const QList<TsExpression *> operands;
};
