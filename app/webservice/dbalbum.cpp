#include "app/webservice/dbalbum.h"

#include <QDate>

#include <algorithm>
#include <cmath>

#include "app/shell/builddate.h"
#include "app/shell/preferredlocale.h"
#include "app/webservice/dbalbumgroup.h"
#include "app/webservice/dbmedium.h"
#include "app/webservice/dbtrack.h"
#include "libcore/locale/localetables.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"

void DbAlbum::setMedia(const QList<DbMedium *> &list)
{
    media = list;
    for (DbMedium *medium : list)
        medium->setParent(this);
}

QString DbAlbum::typeDescription() const
{
    return group ? group->typeDescription(status) : QString();
}

PartialDateTime DbAlbum::releaseDate() const
{
    PartialDateTime earliest;
    for (const PartialDateTime &date : releaseEvents) {
        if (date < earliest)
            earliest = date;
    }
    return earliest;
}

QList<DbTrack *> DbAlbum::tracks() const
{
    QList<DbTrack *> list;
    for (const DbMedium *medium : media)
        list += medium->tracks;
    return list;
}

QString DbAlbum::trackCountText() const
{
    QStringList counts;
    for (const DbMedium *medium : media)
        counts.append(QString::number(medium->tracks.size()));
    return upperCaseFirst(fillPlaceholders(placeholderSequence(int(counts.size()), QStringLiteral(" + ")), counts));
}

QString DbAlbum::formatText() const
{
    QMap<int, int> counts; // ascending format code
    for (const DbMedium *medium : media)
        ++counts[medium->format];
    QStringList entries;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const QString name = upperCaseFirst(it.key() == NoMediumFormat ? textForId(UnknownFormatTextId)
                                                                       : mediumFormatName(it.key()));
        entries.append(it.value() > 1 ? QString::number(it.value()) + QChar(0x00D7) + name : name);
    }
    return upperCaseFirst(fillPlaceholders(placeholderSequence(int(entries.size()), QStringLiteral(" + ")), entries));
}

QString DbAlbum::countryText() const
{
    QStringList names;
    for (auto it = releaseEvents.cbegin(); it != releaseEvents.cend(); ++it) {
        const QString name = countryByCode(it.key()).name;
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    std::sort(names.begin(), names.end());
    return upperCaseFirst(names.join(QStringLiteral(", ")));
}

double DbAlbum::countryScore() const
{
    const QString own = countryByQLocaleCountry(preferredLocale().territory()).iso3166_1_A2;
    if (!own.isEmpty() && releaseEvents.contains(own))
        return 1.0;
    static const struct
    {
        const char *code;
        double score;
    } Fallbacks[] = {{"XW", 0.9}, {"US", 0.8}, {"XE", 0.7}, {"GB", 0.6}, {"DE", 0.5}};
    for (const auto &fallback : Fallbacks) {
        if (releaseEvents.contains(QLatin1String(fallback.code)))
            return fallback.score;
    }
    return 0.0;
}

double DbAlbum::formatScore() const
{
    double sum = 0.0;
    for (const DbMedium *medium : media) {
        switch (medium->format) {
        case 1:
            sum += 1.0;
            break;
        case 12:
            sum += 0.9;
            break;
        case 3:
        case 6:
        case 26:
        case 62:
            sum += 0.75;
            break;
        case 4:
        case 5:
            sum += 0.5;
            break;
        case 8:
            sum += 0.1;
            break;
        case 73: {
            // Older records of this format were the main release of their day.
            const PartialDateTime date = releaseDate();
            if (date.isValid() && date.year() <= 1983)
                sum += 1.0;
            else if (date.isValid() && date.year() <= 1993)
                sum += 1.0 - (date.year() - 1983) * 0.03;
            else
                sum += 0.7;
            break;
        }
        default:
            break;
        }
    }
    const qsizetype n = media.size();
    if (n <= 1)
        return sum;
    double score = sum / double(n);
    for (qsizetype i = 1; i < n; ++i)
        score *= 0.9;
    return score;
}

double DbAlbum::dateScore() const
{
    const PartialDateTime date = releaseDate();
    double age = 0.0;
    if (date.isValid()) {
        const int latestYear = qMax(QDate::currentDate().year(), buildYear());
        const int k = latestYear - date.year();
        if (k > 0)
            age = 1.0 - std::pow(0.925, k);
    }
    double closeness = 0.0;
    if (group && group->firstReleaseDate.isValid() && date.isValid()) {
        const int days = group->firstReleaseDate.daysTo(date);
        if (days <= 14)
            closeness = 1.0;
        else if (days <= 45)
            closeness = 0.7;
        else if (days <= 180)
            closeness = 0.3;
    }
    return (closeness + age) * 0.5;
}

double DbAlbum::primaryTypeScore() const
{
    switch (group ? group->primaryType : 0) {
    case 1:
        return 1.0;
    case 2:
        return 0.25;
    case 3:
        return 0.75;
    default:
        return 0.0;
    }
}

double DbAlbum::secondaryTypeScore() const
{
    if (!group)
        return 1.0;
    int m = 0;
    for (int code : {1, 6, 7, 8, 9, 10}) {
        if (group->secondaryTypes.contains(code))
            ++m;
    }
    double v = 1.0 - 0.25 * m;
    if (m < group->secondaryTypes.size())
        v -= 0.15;
    return qMax(v, 0.0);
}

double DbAlbum::trackCountMatch(int wanted) const
{
    if (wanted == 0)
        return 1.0;
    qint64 distance = std::abs(qint64(tracks().size()) - wanted);
    for (const DbMedium *medium : media)
        distance = qMin(distance, std::abs(qint64(medium->tracks.size()) - wanted));
    return std::pow(0.5, double(distance));
}

int DbAlbum::trackCountFit(int wanted) const
{
    auto fitOf = [wanted](qsizetype count) { return count == wanted ? 2 : count > wanted ? 1 : 0; };
    int fit = media.isEmpty() ? 0 : fitOf(tracks().size());
    for (const DbMedium *medium : media)
        fit = qMax(fit, fitOf(medium->tracks.size()));
    return fit;
}

double DbAlbum::score(int wanted) const
{
    double s = 0.2 * primaryTypeScore();
    s = secondaryTypeScore() * 0.2 + s;
    s = formatScore() * 0.15 + s;
    s = (wanted != 0 ? trackCountMatch(wanted) * 0.2 : 0.2) + s;
    s = dateScore() * 0.2 + s;
    s = countryScore() * 0.05 + s;
    return s;
}

bool DbAlbum::isBetterThan(const DbAlbum &other, int wanted) const
{
    if ((status == 1) != (other.status == 1))
        return status == 1;
    if (wanted != 0) {
        const int fit = trackCountFit(wanted);
        const int otherFit = other.trackCountFit(wanted);
        if (fit != otherFit)
            return fit > otherFit;
    }
    return score(wanted) > other.score(wanted);
}
