#pragma once

#include "app/tagscript/tsexpression.h"

// "[...]": the inner value when a variable inside it has a value, else an empty text.
class TsConditional : public TsExpression
{
public:
    TsConditional(TsExpression *inner, QObject *parent = nullptr);

    QVariant evaluate(AudioFile *context, int mode) const override;
    QList<TsExpression *> children() const override { return {inner}; }

    TsExpression *const inner;
};
