#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

#include <array>

// A date and time of which any of the seven parts may be unknown (-1): a year alone, a
// year and month, a full date with or without a time. Constructors store what they get;
// `isValid` and the setters check ranges.
class PartialDateTime
{
public:
    PartialDateTime() = default;
    explicit PartialDateTime(int year, int month = -1, int day = -1, int hour = -1,
                             int minute = -1, int second = -1, int msec = -1);
    explicit PartialDateTime(const QDateTime &dateTime);
    explicit PartialDateTime(const QDate &date);
    explicit PartialDateTime(const QTime &time);
    // Reads the text under the format's tokens; see toString.
    PartialDateTime(const QString &text, const QString &format);

    // The format of values stored in tags and settings and exchanged with other parts.
    static QString storageFormat() { return QStringLiteral("yyyy-MM-ddThh:mm:ss:zzz"); }

    int year() const { return m_parts[Year]; }
    int month() const { return m_parts[Month]; }
    int day() const { return m_parts[Day]; }
    int hour() const { return m_parts[Hour]; }
    int minute() const { return m_parts[Minute]; }
    int second() const { return m_parts[Second]; }
    int msec() const { return m_parts[Msec]; }

    bool isValid() const;
    // Prints the known parts into the format's tokens "yyyy", "MM", "dd", "hh", "mm", "ss",
    // "zzz" and ends the text after the last number before the first part not written.
    QString toString(QString format) const;
    QDateTime toEarliestDateTime() const;
    QDateTime toLatestDateTime() const;
    // True when this value is a coarser prefix of the other.
    bool contains(const PartialDateTime &other) const;
    int daysTo(const PartialDateTime &other) const;
    qint64 msecsTo(const PartialDateTime &other) const;

    bool operator==(const PartialDateTime &other) const;
    bool operator!=(const PartialDateTime &other) const { return !(*this == other); }
    // Part by part; an unknown part sorts after every known value of that part.
    bool operator<(const PartialDateTime &other) const;

    static int daysInMonth(int year, int month);
    static int daysInYear(int year);

    // Takes the other's known parts: all of them with overwrite, otherwise only where this
    // value's part is unknown. No range check follows.
    void merge(const PartialDateTime &other, bool overwrite);

    // Each returns false and leaves the value alone when the number is out of range; -1 is
    // never accepted. A known day is shortened to fit a new year or month.
    bool setYear(int year);
    bool setMonth(int month);
    bool setDay(int day);
    bool setHour(int hour);
    bool setMinute(int minute);
    bool setSecond(int second);
    bool setMsec(int msec);

private:
    enum Part { Year, Month, Day, Hour, Minute, Second, Msec, PartCount };
    std::array<int, PartCount> m_parts {-1, -1, -1, -1, -1, -1, -1};
};

size_t qHash(const PartialDateTime &value, size_t seed = 0);

// Replaces the pattern's lowest-numbered placeholder with the value printed under the
// format, stores the result back and returns it.
QString &argPartialDateTime(QString &pattern, const PartialDateTime &value, const QString &format);

Q_DECLARE_METATYPE(PartialDateTime)
