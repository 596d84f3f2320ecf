#include "libtagging/model/scripttagitem.h"

#include "libcore/locale/localetables.h"

ScriptTagItem::ScriptTagItem(QObject *parent) : StringTagItem(parent) {}

ScriptTagItem::ScriptTagItem(const ScriptInfo &script, QObject *parent) : StringTagItem(script.iso15924, parent), script(script) {}

TagItem *ScriptTagItem::clone(QObject *parent) const
{
    return new ScriptTagItem(script, parent);
}

bool ScriptTagItem::equals(const TagItem *other) const
{
    return StringTagItem::equals(other) && static_cast<const ScriptTagItem *>(other)->script.iso15924 == script.iso15924;
}

QString ScriptTagItem::toString(const QString &format) const
{
    if (format.isEmpty())
        return script.name;
    if (format == QLatin1String("ISO_15924"))
        return script.iso15924;
    return QString();
}

int ScriptTagItem::type() const
{
    return Type;
}

bool ScriptTagItem::fromVariant(const QVariant &v)
{
    if (!v.canConvert<QString>())
        return false;
    const QString text = v.toString().trimmed();
    if (text.isEmpty()) {
        script = ScriptInfo();
        value.clear();
        return true;
    }
    const ScriptInfo found = scriptByCode(text);
    if (found.iso15924.isEmpty())
        return false;
    script = found;
    value = found.iso15924;
    return true;
}
