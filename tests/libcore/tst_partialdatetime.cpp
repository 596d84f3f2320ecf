#include <QtTest>

#include "libcore/util/partialdatetime.h"

using P = PartialDateTime;

namespace {
const QString Stored = QStringLiteral("yyyy-MM-ddThh:mm:ss:zzz");

QDateTime local(int y, int mo, int d, int h, int mi, int s, int ms)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::LocalTime);
}
} // namespace

namespace QTest {
template<>
char *toString(const PartialDateTime &v)
{
    return qstrdup(QStringLiteral("(%1 %2 %3 %4 %5 %6 %7)")
                       .arg(v.year()).arg(v.month()).arg(v.day()).arg(v.hour())
                       .arg(v.minute()).arg(v.second()).arg(v.msec()).toUtf8().constData());
}
} // namespace QTest

class TestPartialDateTime : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("format");
        QTest::addColumn<PartialDateTime>("expected");
        QTest::newRow("all parts") << "2010-05-03T14:30:00:000" << Stored << P(2010, 5, 3, 14, 30, 0, 0);
        QTest::newRow("year only") << "2010" << Stored << P(2010);
        QTest::newRow("year and month") << "2010-05" << Stored << P(2010, 5);
        QTest::newRow("separators not compared") << "2010/05/03 14.30" << Stored << P(2010, 5, 3, 14, 30);
        QTest::newRow("unpadded month") << "2010-5-3" << Stored << P(2010);
        QTest::newRow("empty") << "" << Stored << P();
        QTest::newRow("no range check") << "2010-13" << "yyyy-MM" << P(2010, 13);
        QTest::newRow("format without year") << "03.05." << "dd.MM." << P(-1, 5, 3);
        QTest::newRow("tokens are case-sensitive") << "2010-05" << "YYYY-MM" << P(-1, 5);
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, format);
        QFETCH(PartialDateTime, expected);
        QCOMPARE(P(text, format), expected);
    }

    void print_data()
    {
        QTest::addColumn<PartialDateTime>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("all parts") << P(2010, 5, 3, 14, 30, 0, 0) << Stored << "2010-05-03T14:30:00:000";
        QTest::newRow("msec padded") << P(2010, 5, 3, 14, 30, 0, 5) << Stored << "2010-05-03T14:30:00:005";
        QTest::newRow("year and month") << P(2010, 5) << Stored << "2010-05";
        QTest::newRow("day after gap dropped") << P(2010, -1, 3) << Stored << "2010";
        QTest::newRow("no year") << P(-1, 5, 3, 14, 30) << Stored << "";
        QTest::newRow("year too long") << P(12345, 1, 1) << Stored << "";
        QTest::newRow("unknown") << P() << Stored << "";
        QTest::newRow("display format") << P(2010, 5, 3, 9, 5) << "yyyy-MM-dd hh:mm:ss" << "2010-05-03 09:05";
        QTest::newRow("literal digit counts")
            << P(2010, 5) << "yyyy-MM 1dd" << "2010-05 1";
        QTest::newRow("time only format") << P(-1, -1, -1, 7, 8, 9) << "hh:mm:ss" << "07:08:09";
        QTest::newRow("year 0") << P(0) << Stored << "0000";
        QTest::newRow("negative part not written") << P(2010, -5) << Stored << "2010";
    }
    void print()
    {
        QFETCH(PartialDateTime, value);
        QFETCH(QString, format);
        QFETCH(QString, text);
        QCOMPARE(value.toString(format), text);
    }

    // Stored values are written up to the last known part and read back unchanged.
    void storedRoundTrip_data()
    {
        QTest::addColumn<PartialDateTime>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("year") << P(1999) << "1999";
        QTest::newRow("month") << P(1999, 12) << "1999-12";
        QTest::newRow("day") << P(1999, 12, 31) << "1999-12-31";
        QTest::newRow("hour") << P(1999, 12, 31, 0) << "1999-12-31T00";
        QTest::newRow("minute") << P(1999, 12, 31, 23, 59) << "1999-12-31T23:59";
        QTest::newRow("second") << P(1999, 12, 31, 23, 59, 59) << "1999-12-31T23:59:59";
        QTest::newRow("msec") << P(1999, 12, 31, 23, 59, 59, 999) << "1999-12-31T23:59:59:999";
    }
    void storedRoundTrip()
    {
        QFETCH(PartialDateTime, value);
        QFETCH(QString, text);
        QCOMPARE(P::storageFormat(), Stored);
        QCOMPARE(value.toString(P::storageFormat()), text);
        QCOMPARE(P(text, P::storageFormat()), value);
    }

    void validity_data()
    {
        QTest::addColumn<PartialDateTime>("value");
        QTest::addColumn<bool>("valid");
        QTest::newRow("unknown") << P() << false;
        QTest::newRow("year") << P(2010) << true;
        QTest::newRow("year 0") << P(0) << true;
        QTest::newRow("month 13") << P(2010, 13) << false;
        QTest::newRow("month 0") << P(2010, 0) << false;
        QTest::newRow("day without month") << P(2010, -1, 31) << true;
        QTest::newRow("29 February, unknown year") << P(-1, 2, 29) << true;
        QTest::newRow("30 February, unknown year") << P(-1, 2, 30) << false;
        QTest::newRow("29 February 2011") << P(2011, 2, 29) << false;
        QTest::newRow("29 February 2012") << P(2012, 2, 29) << true;
        QTest::newRow("day in year 0") << P(0, 1, 1) << false;
        QTest::newRow("time without date") << P(-1, -1, -1, 23, 59, 59, 999) << true;
        QTest::newRow("hour 24") << P(2010, -1, -1, 24) << false;
        QTest::newRow("second 60") << P(-1, -1, -1, -1, -1, 60) << false;
        QTest::newRow("msec 1000") << P(-1, -1, -1, -1, -1, -1, 1000) << false;
        QTest::newRow("negative other than -1") << P(2010, -2) << false;
        QTest::newRow("negative year") << P(-5) << false;
    }
    void validity()
    {
        QFETCH(PartialDateTime, value);
        QFETCH(bool, valid);
        QCOMPARE(value.isValid(), valid);
    }

    void fromQt()
    {
        QCOMPARE(P(local(2010, 5, 3, 14, 30, 1, 2)), P(2010, 5, 3, 14, 30, 1, 2));
        QCOMPARE(P(QDate(2010, 5, 3)), P(2010, 5, 3));
        QCOMPARE(P(QTime(14, 30)), P(-1, -1, -1, 14, 30, 0, 0));
        // Null Qt values leave every part unknown.
        QCOMPARE(P(QDateTime()), P());
        QCOMPARE(P(QDate()), P());
        QCOMPARE(P(QTime()), P());
    }

    void setters()
    {
        P leap(2012, 2, 29);
        QVERIFY(leap.setYear(2011));
        QCOMPARE(leap, P(2011, 2, 28));

        P longMonth(2010, 3, 31);
        QVERIFY(longMonth.setMonth(4));
        QCOMPARE(longMonth, P(2010, 4, 30));
        QVERIFY(!longMonth.setMonth(13));
        QCOMPARE(longMonth.month(), 4);

        P february(-1, 2);
        QVERIFY(february.setDay(29));
        QVERIFY(!february.setDay(30));
        QCOMPARE(february.day(), 29);

        P noMonth(2010);
        QVERIFY(noMonth.setDay(31));
        QVERIFY(!noMonth.setDay(32));
    }

    void settersRejectOutOfRange()
    {
        const P start(2010, 5, 3, 14, 30, 0, 0);
        using Setter = bool (P::*)(int);
        const struct {
            Setter setter;
            QList<int> rejected;
        } cases[] = {
            {&P::setYear, {-1, -2}},
            {&P::setMonth, {-1, 0, 13}},
            {&P::setDay, {-1, 0, 32}},
            {&P::setHour, {-1, 24}},
            {&P::setMinute, {-1, 60}},
            {&P::setSecond, {-1, 60}},
            {&P::setMsec, {-1, 1000}},
        };
        for (const auto &c : cases) {
            for (int number : c.rejected) {
                P value = start;
                QVERIFY2(!(value.*c.setter)(number), qPrintable(QString::number(number)));
                QCOMPARE(value, start);
            }
        }
    }

    // The calendar has no year 0, so a known day cannot be kept in it: the setters refuse
    // instead of storing a day of 0 and reporting success.
    void yearZeroKeepsValueValid()
    {
        P dated(2010, 5, 3);
        QVERIFY(!dated.setYear(0));
        QCOMPARE(dated, P(2010, 5, 3));
        QVERIFY(dated.isValid());

        P noMonth(2010, -1, 3); // any day up to 31 fits an unknown month
        QVERIFY(noMonth.setYear(0));
        QCOMPARE(noMonth, P(0, -1, 3));
        QVERIFY(noMonth.isValid());
        QVERIFY(!noMonth.setMonth(5));
        QCOMPARE(noMonth, P(0, -1, 3));

        P yearOnly(2010, 5);
        QVERIFY(yearOnly.setYear(0));
        QCOMPARE(yearOnly, P(0, 5));
        QVERIFY(yearOnly.isValid());
        QVERIFY(!yearOnly.setDay(1));

        P stored(0, 5, 3); // as read from a text; already invalid
        QVERIFY(!stored.setMonth(6));
        QCOMPARE(stored, P(0, 5, 3));
    }

    void merge()
    {
        P value(2010, -1, 3, -1);
        value.merge(P(2011, 4, -1, 12), false);
        QCOMPARE(value, P(2010, 4, 3, 12));
        value.merge(P(2012, -1, 31), true);
        QCOMPARE(value, P(2012, 4, 31, 12)); // no range check after merging
        value.merge(P(), true);
        QCOMPARE(value, P(2012, 4, 31, 12));
    }

    void ordering_data()
    {
        QTest::addColumn<PartialDateTime>("a");
        QTest::addColumn<PartialDateTime>("b");
        QTest::addColumn<bool>("aBeforeB");
        QTest::addColumn<bool>("bBeforeA");
        QTest::newRow("known month before unknown") << P(2010, 5) << P(2010) << true << false;
        QTest::newRow("end of year before next year") << P(2009, 12, 31) << P(2010) << true << false;
        QTest::newRow("equal") << P(2010, 5) << P(2010, 5) << false << false;
        QTest::newRow("unknown after everything") << P(1, 1) << P() << true << false;
        QTest::newRow("both unknown") << P() << P() << false << false;
        QTest::newRow("msec decides") << P(2010, 1, 1, 0, 0, 0, 1) << P(2010, 1, 1, 0, 0, 0, 2)
                                      << true << false;
        QTest::newRow("first difference decides") << P(2009, 12) << P(2010, 1) << true << false;
    }
    void ordering()
    {
        QFETCH(PartialDateTime, a);
        QFETCH(PartialDateTime, b);
        QFETCH(bool, aBeforeB);
        QFETCH(bool, bBeforeA);
        QCOMPARE(a < b, aBeforeB);
        QCOMPARE(b < a, bBeforeA);
        QVERIFY(!(a < a));
    }

    void containment_data()
    {
        QTest::addColumn<PartialDateTime>("a");
        QTest::addColumn<PartialDateTime>("b");
        QTest::addColumn<bool>("contains");
        QTest::newRow("year contains date") << P(2010) << P(2010, 5, 3) << true;
        QTest::newRow("month contains hour") << P(2010, 5) << P(2010, 5, 3, 14) << true;
        QTest::newRow("equal values") << P(2010) << P(2010) << false;
        QTest::newRow("equal full values") << P(2010, 5, 3, 1, 2, 3, 4) << P(2010, 5, 3, 1, 2, 3, 4) << false;
        QTest::newRow("other month") << P(2010, 5) << P(2010, 6, 1) << false;
        QTest::newRow("finer does not contain coarser") << P(2010, 5, 3) << P(2010) << false;
        QTest::newRow("unknown contains known year") << P() << P(1990) << true;
        QTest::newRow("unknown, other without year") << P() << P(-1, 5) << false;
        QTest::newRow("later parts not compared") << P(2010, -1, 3) << P(2010, 7, 20) << true;
        QTest::newRow("gap not filled in other") << P(2010, -1, 3) << P(2010, -1, 3, 5) << false;
    }
    void containment()
    {
        QFETCH(PartialDateTime, a);
        QFETCH(PartialDateTime, b);
        QFETCH(bool, contains);
        QCOMPARE(a.contains(b), contains);
    }

    void distance_data()
    {
        QTest::addColumn<PartialDateTime>("a");
        QTest::addColumn<PartialDateTime>("b");
        QTest::addColumn<QDateTime>("from");
        QTest::addColumn<QDateTime>("to");
        QTest::newRow("contained") << P(2010) << P(2010, 7, 1) << QDateTime() << QDateTime();
        QTest::newRow("containing") << P(2010, 7, 1) << P(2010) << QDateTime() << QDateTime();
        QTest::newRow("equal") << P(2010, 7) << P(2010, 7) << QDateTime() << QDateTime();
        QTest::newRow("later") << P(2010) << P(2011, 3, 1)
                               << local(2010, 12, 31, 23, 59, 59, 999) << local(2011, 3, 1, 0, 0, 0, 0);
        QTest::newRow("earlier") << P(2011) << P(2010)
                                 << local(2011, 1, 1, 0, 0, 0, 0) << local(2010, 12, 31, 23, 59, 59, 999);
    }
    void distance()
    {
        QFETCH(PartialDateTime, a);
        QFETCH(PartialDateTime, b);
        QFETCH(QDateTime, from);
        QFETCH(QDateTime, to);
        QCOMPARE(a.daysTo(b), from.isValid() ? int(from.daysTo(to)) : 0);
        QCOMPARE(a.msecsTo(b), from.isValid() ? from.msecsTo(to) : 0);
        if (from.isValid())
            QCOMPARE(a.msecsTo(b) > 0, a < b);
    }

    void coveredRange_data()
    {
        QTest::addColumn<PartialDateTime>("value");
        QTest::addColumn<QDateTime>("earliest");
        QTest::addColumn<QDateTime>("latest");
        QTest::newRow("leap February") << P(2012, 2) << local(2012, 2, 1, 0, 0, 0, 0)
                                       << local(2012, 2, 29, 23, 59, 59, 999);
        QTest::newRow("year") << P(2000) << local(2000, 1, 1, 0, 0, 0, 0)
                              << local(2000, 12, 31, 23, 59, 59, 999);
        QTest::newRow("day and hour, no month") << P(2010, -1, 3, 4)
                                                << local(2010, 1, 3, 4, 0, 0, 0)
                                                << local(2010, 12, 3, 4, 59, 59, 999);
        QTest::newRow("no year") << P(-1, 5, 3) << QDateTime() << QDateTime();
    }
    void coveredRange()
    {
        QFETCH(PartialDateTime, value);
        QFETCH(QDateTime, earliest);
        QFETCH(QDateTime, latest);
        QCOMPARE(value.toEarliestDateTime(), earliest);
        QCOMPARE(value.toLatestDateTime(), latest);
    }

    void monthAndYearLengths()
    {
        QCOMPARE(P::daysInMonth(-1, -1), 31);
        QCOMPARE(P::daysInMonth(-1, 2), 29);
        QCOMPARE(P::daysInMonth(2011, 2), 28);
        QCOMPARE(P::daysInMonth(2011, -1), 31);
        QCOMPARE(P::daysInMonth(2011, 13), 0);
        QCOMPARE(P::daysInYear(-1), 366);
        QCOMPARE(P::daysInYear(2011), 365);
        QCOMPARE(P::daysInYear(2000), 366);
    }

    void placeholder()
    {
        QString pattern = QStringLiteral("released %1 (%2)");
        QCOMPARE(&argPartialDateTime(pattern, P(2010, 5, 3), QStringLiteral("yyyy-MM-dd")), &pattern);
        QCOMPARE(pattern, QStringLiteral("released 2010-05-03 (%2)"));
        argPartialDateTime(pattern, P(), Stored);
        QCOMPARE(pattern, QStringLiteral("released 2010-05-03 ()"));
    }

    void variantComparesByValue()
    {
        QCOMPARE(QMetaType::fromName("PartialDateTime"), QMetaType::fromType<PartialDateTime>());
        const QVariant a = QVariant::fromValue(P(2010, 5));
        const QVariant b = QVariant::fromValue(P(2010, 5));
        const QVariant c = QVariant::fromValue(P(2010, 6));
        QVERIFY(a == b);
        QVERIFY(a != c);
        QVERIFY(QVariant::fromValue(P()) == QVariant::fromValue(P()));
        QCOMPARE(b.value<PartialDateTime>(), P(2010, 5));

        QSet<PartialDateTime> set {P(2010, 5), P(2010, 5), P(2010), P()};
        QCOMPARE(set.size(), 3);
        QVERIFY(set.contains(P(2010)));
        QVERIFY(!set.contains(P(2010, 6)));
    }
};

QTEST_GUILESS_MAIN(TestPartialDateTime)
#include "tst_partialdatetime.moc"
