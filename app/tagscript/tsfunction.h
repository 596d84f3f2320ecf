#pragma once

#include "app/tagscript/scriptfunctions.h"
#include "app/tagscript/tsexpression.h"

#include <QString>

// "$name(arguments)": a function of the script library, picked by its name in any case and
// its number of arguments. Every argument is evaluated, also when the function is unknown.
class TsFunction : public TsExpression
{
public:
    TsFunction(const QString &name, const QList<TsExpression *> &arguments, QObject *parent = nullptr);

    QVariant evaluate(AudioFile *context, int mode) const override;
    QList<TsExpression *> children() const override { return arguments; }

    // As written between '$' and '('; possibly empty.
    const QString name;
    const QList<TsExpression *> arguments;

private:
    // The name lower-cased and its function, looked up once: the tree never changes.
    QString m_key;
    ScriptFunction m_function = nullptr;
};
