#pragma once

#include "app/tagscript/tsexpression.h"

// Text that stands as written (escapes and quoted text already resolved).
class TsLiteral : public TsExpression
{
public:
    explicit TsLiteral(const QVariant &value, QObject *parent = nullptr)
        : TsExpression(parent), value(value)
    {
    }

    QVariant evaluate(AudioFile *, int) const override { return value; }

    const QVariant value;
};
