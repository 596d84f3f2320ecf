#include "app/tagscript/tsvariable.h"

TsVariable::TsVariable(const QString &name, QObject *parent) : TsExpression(parent), name(name) {}

QVariant TsVariable::evaluate(AudioFile *context, int mode) const
{
    return QVariant();
}
