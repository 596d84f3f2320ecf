#include "app/tagscript/tsoperation.h"

#include "app/tagscript/tagscript.h"

TsOperation::TsOperation(int type, const QList<TsExpression *> &operands, QObject *parent)
    : TsExpression(parent), type(type), operands(operands)
{
    for (TsExpression *operand : operands)
        operand->setParent(this);
}

QVariant TsOperation::evaluate(AudioFile *context, int mode) const
{
    if (type != Concatenation)
        return QVariant();
    QString text;
    for (const TsExpression *operand : operands) {
        appendDisplayText(text, operand->evaluate(context, mode));
        checkScriptTextLength(text);
    }
    return QVariant(text);
}
