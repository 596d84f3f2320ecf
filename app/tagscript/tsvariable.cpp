#include "app/tagscript/tsvariable.h"

#include "app/model/datatypevalues.h"
#include "app/tagscript/scriptvariables.h"
#include "app/tagscript/tagscript.h"

TsVariable::TsVariable(const QString &name, QObject *parent) : TsExpression(parent), name(name)
{
    const QString key = name.toLower();
    m_dataType = variableNames().value(key);
    m_special = specialVariableIndex(key);
}

QVariant TsVariable::evaluate(AudioFile *context, int mode) const
{
    QVariant value;
    if (m_dataType.category != ModelDataType::CategoryNone)
        value = dataTypeValue(context, m_dataType, RawValueRole);
    if (!value.isValid())
        value = specialVariableValue(m_special, context);
    if (value.metaType().id() != QMetaType::QString)
        return value;
    const QString &text = *static_cast<const QString *>(value.constData());
    checkScriptTextLength(text);
    if (mode != FileNameMode)
        return value;
    QString cleaned = text;
    cleaned.remove(u'/');
    cleaned.remove(u'\\');
    // A value of "." or ".." would be a whole folder level of its own: the current or the
    // parent folder, outside the target.
    if (cleaned.contains(u'.')) {
        const QString trimmed = cleaned.trimmed();
        if (trimmed == QLatin1String(".") || trimmed == QLatin1String(".."))
            cleaned.clear();
    }
    return cleaned;
}
