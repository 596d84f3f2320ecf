#include "libtagging/model/languagetagitem.h"

#include "libcore/locale/localetables.h"

LanguageTagItem::LanguageTagItem(QObject *parent) : StringTagItem(parent) {}

LanguageTagItem::LanguageTagItem(const LanguageInfo &language, QObject *parent) : StringTagItem(language.iso639_2T, parent), language(language) {}

TagItem *LanguageTagItem::clone(QObject *parent) const
{
    return new LanguageTagItem(language, parent);
}

bool LanguageTagItem::equals(const TagItem *other) const
{
    return StringTagItem::equals(other) && static_cast<const LanguageTagItem *>(other)->language.iso639_2T == language.iso639_2T;
}

QString LanguageTagItem::toString(const QString &format) const
{
    if (format.isEmpty())
        return language.name;
    if (format == QLatin1String("ISO_639_1"))
        return language.iso639_1;
    if (format == QLatin1String("ISO_639_2_B"))
        return language.iso639_2B;
    if (format == QLatin1String("ISO_639_2_T"))
        return language.iso639_2T;
    return QString();
}

int LanguageTagItem::type() const
{
    return Type;
}

bool LanguageTagItem::fromVariant(const QVariant &v)
{
    if (!v.canConvert<QString>())
        return false;
    const QString text = v.toString().trimmed();
    if (text.isEmpty()) {
        language = LanguageInfo();
        value.clear();
        return true;
    }
    const LanguageInfo found = languageByCode(text);
    if (found.iso639_2T.isEmpty())
        return false;
    language = found;
    value = found.iso639_2T;
    return true;
}
