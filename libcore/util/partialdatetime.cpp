#include "libcore/util/partialdatetime.h"

#include "libcore/text/formatting.h"

#include <QHashFunctions>

#include <algorithm>
#include <array>

namespace {
constexpr const char *Tokens[] = {"yyyy", "MM", "dd", "hh", "mm", "ss", "zzz"};
constexpr int TokenCount = int(std::size(Tokens));

[[maybe_unused]] const int registeredTypeId = qRegisterMetaType<PartialDateTime>("PartialDateTime");
} // namespace

PartialDateTime::PartialDateTime(int year, int month, int day, int hour, int minute, int second,
                                 int msec)
    : m_parts {year, month, day, hour, minute, second, msec}
{
}

PartialDateTime::PartialDateTime(const QDateTime &dateTime)
    : PartialDateTime(dateTime.date())
{
    const QTime time = dateTime.time();
    if (time.isValid()) {
        m_parts[Hour] = time.hour();
        m_parts[Minute] = time.minute();
        m_parts[Second] = time.second();
        m_parts[Msec] = time.msec();
    }
}

// A null date or time leaves its parts unknown instead of storing Qt's placeholder numbers.
PartialDateTime::PartialDateTime(const QDate &date)
{
    if (date.isValid())
        m_parts = {date.year(), date.month(), date.day(), -1, -1, -1, -1};
}

PartialDateTime::PartialDateTime(const QTime &time)
{
    if (time.isValid())
        m_parts = {-1, -1, -1, time.hour(), time.minute(), time.second(), time.msec()};
}

PartialDateTime::PartialDateTime(const QString &text, const QString &format)
{
    // Readers parse every date of a file with the same format: its token positions are
    // looked up once per thread and format.
    struct Positions
    {
        QString format;
        std::array<qsizetype, TokenCount> at{};
        bool known = false;
    };
    thread_local Positions last;
    if (!last.known || last.format != format) {
        for (int i = 0; i < TokenCount; ++i)
            last.at[i] = format.indexOf(QLatin1String(Tokens[i]));
        last.format = format;
        last.known = true;
    }
    for (int i = 0; i < TokenCount; ++i) {
        const QLatin1String token(Tokens[i]);
        const qsizetype position = last.at[i];
        if (position < 0 || text.size() < position + token.size())
            continue;
        bool ok = false;
        const int number = QStringView(text).mid(position, token.size()).toInt(&ok, 10);
        if (ok)
            m_parts[i] = number;
    }
}

bool PartialDateTime::isValid() const
{
    if (*this == PartialDateTime())
        return false;
    const auto ok = [](int value, int low, int high) {
        return value == -1 || (value >= low && value <= high);
    };
    return (m_parts[Year] == -1 || m_parts[Year] >= 0) && ok(m_parts[Month], 1, 12)
        && ok(m_parts[Day], 1, daysInMonth(m_parts[Year], m_parts[Month]))
        && ok(m_parts[Hour], 0, 23) && ok(m_parts[Minute], 0, 59) && ok(m_parts[Second], 0, 59)
        && ok(m_parts[Msec], 0, 999);
}

QString PartialDateTime::toString(QString format) const
{
    for (int i = 0; i < TokenCount; ++i) {
        const int value = m_parts[i];
        const QLatin1String token(Tokens[i]);
        // Negative numbers are never written: they would read back as something else.
        if (value < 0)
            continue;
        const qsizetype position = format.indexOf(token);
        if (position < 0)
            continue;
        const QString number = QString::number(value);
        if (number.size() > token.size())
            continue;
        format.replace(position, token.size(),
                       number.rightJustified(token.size(), QLatin1Char('0')));
    }
    // End after the last number written before the first part that was not.
    for (int i = 0; i < TokenCount; ++i) {
        const qsizetype position = format.indexOf(QLatin1String(Tokens[i]));
        if (position < 0)
            continue;
        qsizetype end = position;
        while (end > 0 && !format.at(end - 1).isDigit())
            --end;
        format.truncate(end);
    }
    return format;
}

QDateTime PartialDateTime::toEarliestDateTime() const
{
    if (m_parts[Year] == -1)
        return QDateTime();
    const auto orElse = [](int value, int fallback) { return value == -1 ? fallback : value; };
    return QDateTime(QDate(m_parts[Year], orElse(m_parts[Month], 1), orElse(m_parts[Day], 1)),
                     QTime(orElse(m_parts[Hour], 0), orElse(m_parts[Minute], 0),
                           orElse(m_parts[Second], 0), orElse(m_parts[Msec], 0)),
                     Qt::LocalTime);
}

QDateTime PartialDateTime::toLatestDateTime() const
{
    if (m_parts[Year] == -1)
        return QDateTime();
    const auto orElse = [](int value, int fallback) { return value == -1 ? fallback : value; };
    const int month = orElse(m_parts[Month], 12);
    const int day = orElse(m_parts[Day], daysInMonth(m_parts[Year], month));
    return QDateTime(QDate(m_parts[Year], month, day),
                     QTime(orElse(m_parts[Hour], 23), orElse(m_parts[Minute], 59),
                           orElse(m_parts[Second], 59), orElse(m_parts[Msec], 999)),
                     Qt::LocalTime);
}

bool PartialDateTime::contains(const PartialDateTime &other) const
{
    for (int i = 0; i < TokenCount; ++i) {
        const int mine = m_parts[i];
        const int theirs = other.m_parts[i];
        if (mine == -1)
            return theirs != -1;
        if (mine != theirs)
            return false;
    }
    return false;
}

int PartialDateTime::daysTo(const PartialDateTime &other) const
{
    if (*this == other || contains(other) || other.contains(*this))
        return 0;
    if (*this < other)
        return int(toLatestDateTime().daysTo(other.toEarliestDateTime()));
    return int(toEarliestDateTime().daysTo(other.toLatestDateTime()));
}

qint64 PartialDateTime::msecsTo(const PartialDateTime &other) const
{
    if (*this == other || contains(other) || other.contains(*this))
        return 0;
    if (*this < other)
        return toLatestDateTime().msecsTo(other.toEarliestDateTime());
    return toEarliestDateTime().msecsTo(other.toLatestDateTime());
}

bool PartialDateTime::operator==(const PartialDateTime &other) const
{
    return m_parts == other.m_parts;
}

bool PartialDateTime::operator<(const PartialDateTime &other) const
{
    for (int i = 0; i < TokenCount; ++i) {
        const int a = m_parts[i];
        const int b = other.m_parts[i];
        if (a == b)
            continue;
        if (a == -1)
            return false;
        if (b == -1)
            return true;
        return a < b;
    }
    return false;
}

int PartialDateTime::daysInMonth(int year, int month)
{
    if (month == -1)
        return 31;
    // An unknown year is taken as a leap year, so 29 February stays possible.
    return QDate(year == -1 ? 2000 : year, month, 1).daysInMonth();
}

int PartialDateTime::daysInYear(int year)
{
    if (year == -1)
        return 366;
    return QDate(year, 1, 1).daysInYear();
}

void PartialDateTime::merge(const PartialDateTime &other, bool overwrite)
{
    for (int i = 0; i < TokenCount; ++i) {
        const int theirs = other.m_parts[i];
        if (theirs != -1 && (overwrite || m_parts[i] == -1))
            m_parts[i] = theirs;
    }
}

bool PartialDateTime::setYear(int year)
{
    if (year < 0)
        return false;
    if (m_parts[Day] != -1) {
        // The calendar has no year 0: such a year holds no day, so the day could not be
        // kept valid.
        const int length = daysInMonth(year, m_parts[Month]);
        if (length < 1)
            return false;
        m_parts[Day] = std::min(m_parts[Day], length);
    }
    m_parts[Year] = year;
    return true;
}

bool PartialDateTime::setMonth(int month)
{
    if (month < 1 || month > 12)
        return false;
    if (m_parts[Day] != -1) {
        const int length = daysInMonth(m_parts[Year], month);
        if (length < 1)
            return false;
        m_parts[Day] = std::min(m_parts[Day], length);
    }
    m_parts[Month] = month;
    return true;
}

bool PartialDateTime::setDay(int day)
{
    if (day < 1 || day > daysInMonth(m_parts[Year], m_parts[Month]))
        return false;
    m_parts[Day] = day;
    return true;
}

bool PartialDateTime::setHour(int hour)
{
    if (hour < 0 || hour > 23)
        return false;
    m_parts[Hour] = hour;
    return true;
}

bool PartialDateTime::setMinute(int minute)
{
    if (minute < 0 || minute > 59)
        return false;
    m_parts[Minute] = minute;
    return true;
}

bool PartialDateTime::setSecond(int second)
{
    if (second < 0 || second > 59)
        return false;
    m_parts[Second] = second;
    return true;
}

bool PartialDateTime::setMsec(int msec)
{
    if (msec < 0 || msec > 999)
        return false;
    m_parts[Msec] = msec;
    return true;
}

size_t qHash(const PartialDateTime &value, size_t seed)
{
    return qHashMulti(seed, value.year(), value.month(), value.day(), value.hour(), value.minute(),
                      value.second(), value.msec());
}

QString &argPartialDateTime(QString &pattern, const PartialDateTime &value, const QString &format)
{
    return argInPlace(pattern, value.toString(format), 0, QLatin1Char(' '));
}
