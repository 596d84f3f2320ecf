#include "app/tagscript/tsconditional.h"

#include "app/tagscript/tagscript.h"

TsConditional::TsConditional(TsExpression *inner, QObject *parent) : TsExpression(parent), inner(inner)
{
    inner->setParent(this);
}

QVariant TsConditional::evaluate(AudioFile *context, int mode) const
{
    if (hasValuedVariable(inner, context, mode))
        return inner->evaluate(context, mode);
    return QVariant(QString());
}
