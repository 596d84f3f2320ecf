#include "app/tagscript/tsfunction.h"

#include "app/tagscript/tagscript.h"

TsFunction::TsFunction(const QString &name, const QList<TsExpression *> &arguments, QObject *parent)
    : TsExpression(parent), name(name), arguments(arguments), m_key(name.toLower()),
      m_function(findScriptFunction(m_key, int(arguments.size())))
{
    for (TsExpression *argument : arguments)
        argument->setParent(this);
}

QVariant TsFunction::evaluate(AudioFile *context, int mode) const
{
    QVariantList values;
    values.reserve(arguments.size());
    for (const TsExpression *argument : arguments)
        values.append(argument->evaluate(context, mode));
    if (!m_function)
        return QVariant();
    QVariant result = m_function(m_key, values);
    if (result.metaType().id() == QMetaType::QString)
        checkScriptTextLength(*static_cast<const QString *>(result.constData()));
    return result;
}
