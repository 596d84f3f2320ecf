#include "libtagging/model/releasecountrytagitem.h"

#include "libcore/locale/localetables.h"

ReleaseCountryTagItem::ReleaseCountryTagItem(QObject *parent) : StringTagItem(parent) {}

ReleaseCountryTagItem::ReleaseCountryTagItem(const CountryInfo &country, QObject *parent) : StringTagItem(country.iso3166_1_A2, parent), country(country) {}

TagItem *ReleaseCountryTagItem::clone(QObject *parent) const
{
    return new ReleaseCountryTagItem(country, parent);
}

bool ReleaseCountryTagItem::equals(const TagItem *other) const
{
    return StringTagItem::equals(other) && static_cast<const ReleaseCountryTagItem *>(other)->country.iso3166_1_A2 == country.iso3166_1_A2;
}

QString ReleaseCountryTagItem::toString(const QString &format) const
{
    if (format.isEmpty())
        return country.name;
    if (format == QLatin1String("ISO_3166_1_A2"))
        return country.iso3166_1_A2;
    if (format == QLatin1String("ISO_3166_1_A3"))
        return country.iso3166_1_A3;
    return QString();
}

int ReleaseCountryTagItem::type() const
{
    return Type;
}

bool ReleaseCountryTagItem::fromVariant(const QVariant &v)
{
    if (!v.canConvert<QString>())
        return false;
    const QString text = v.toString().trimmed();
    if (text.isEmpty()) {
        country = CountryInfo();
        value.clear();
        return true;
    }
    const CountryInfo found = countryByCode(text);
    if (found.iso3166_1_A2.isEmpty())
        return false;
    country = found;
    value = found.iso3166_1_A2;
    return true;
}
