#include <QtTest>

#include "libcore/util/commonvariantvalue.h"
#include "libcore/util/partialdatetime.h"
#include "libcore/util/variants.h"

namespace {

// A type whose registered equality differs from its operator==, to show which one decides.
struct Tagged
{
    int value = 0;
    int noise = 0;
    bool operator==(const Tagged &other) const { return value == other.value && noise == other.noise; }
};

bool equalIgnoringNoise(const void *a, const void *b)
{
    return static_cast<const Tagged *>(a)->value == static_cast<const Tagged *>(b)->value;
}

QVariant date(int year = -1, int month = -1)
{
    return QVariant::fromValue(PartialDateTime(year, month));
}

} // namespace

Q_DECLARE_METATYPE(Tagged)

class TestVariants : public QObject
{
    Q_OBJECT
private slots:
    void commonValue_data()
    {
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("equal texts") << QVariantList{"abc", "abc"} << QVariant("abc");
        QTest::newRow("different texts") << QVariantList{"abc", "abd"} << QVariant();
        QTest::newRow("empty list") << QVariantList{} << unsetVariant();
        QTest::newRow("only invalid") << QVariantList{QVariant(), QVariant()} << unsetVariant();
        QTest::newRow("empty and missing are one")
            << QVariantList{QString(""), QVariant(), QString("")} << QVariant(QString(""));
        QTest::newRow("zeros") << QVariantList{0, 0} << QVariant(0);
        QTest::newRow("zero and five") << QVariantList{0, 5} << QVariant();
        QTest::newRow("false twice") << QVariantList{false, false} << QVariant(false);
        QTest::newRow("false and true") << QVariantList{false, true} << QVariant();
        QTest::newRow("unknown date equals empty text") << QVariantList{date(), QString()} << date();
        QTest::newRow("empty form, then a value") << QVariantList{QString(), "x"} << QVariant();
        QTest::newRow("latest raw value represents") << QVariantList{1, qint64(1)} << QVariant(qint64(1));
        QTest::newRow("equal dates") << QVariantList{date(2001, 5), date(2001, 5)} << date(2001, 5);
        QTest::newRow("dates differ by month") << QVariantList{date(2001, 5), date(2001)} << QVariant();
        QTest::newRow("differ, then equal again") << QVariantList{"a", "b", "a"} << QVariant();
        QTest::newRow("zero of another width stays") << QVariantList{qint64(0), QString()} << QVariant();
    }
    void commonValue()
    {
        QFETCH(QVariantList, values);
        QFETCH(QVariant, expected);
        const QVariant common = commonVariantValue(values);
        QCOMPARE(common.typeId(), expected.typeId());
        QCOMPARE(common, expected);
    }

    void unsetMarkerIsNoValue()
    {
        QVERIFY(isUnsetVariant(unsetVariant()));
        QVERIFY(!isUnsetVariant(QVariant()));
        QVERIFY(unsetVariant() != QVariant());
        QVERIFY(unsetVariant() != QVariant(QString()));
    }

    void normalized_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("empty");
        QTest::newRow("false") << QVariant(false) << true;
        QTest::newRow("true") << QVariant(true) << false;
        QTest::newRow("int zero") << QVariant(0) << true;
        QTest::newRow("uint zero") << QVariant(0u) << false;
        QTest::newRow("double zero") << QVariant(0.0) << true;
        QTest::newRow("double nan") << QVariant(qQNaN()) << false;
        QTest::newRow("empty text") << QVariant(QString()) << true;
        QTest::newRow("space") << QVariant(QString(" ")) << false;
        QTest::newRow("unknown date") << date() << true;
        QTest::newRow("year") << date(1999) << false;
    }
    void normalized()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, empty);
        QCOMPARE(!normalizedVariant(value).isValid(), empty);
    }

    void integerVariants()
    {
        QVERIFY(isIntegerVariant(QVariant(quint64(7))));
        QVERIFY(isIntegerVariant(QVariant::fromValue<uchar>(7)));
        QVERIFY(!isIntegerVariant(QVariant(true)));
        QVERIFY(!isIntegerVariant(QVariant(1.0)));
        QVERIFY(!isIntegerVariant(QVariant("1")));
    }

    void hashes()
    {
        QCOMPARE(variantHash(QVariant()), 2590077302u);
        QCOMPARE(variantHash(QVariant(1)), variantHash(QVariant(qint64(1))));
        QCOMPARE(variantHash(QVariant(-1)), variantHash(QVariant(qint64(-1))));
        QCOMPARE(variantHash(QVariant(quint16(300))), variantHash(QVariant(300)));
        QCOMPARE(variantHash(QVariant("a")), variantHash(QVariant(QString("a"))));
        QVERIFY(variantHash(QVariant("1")) != variantHash(QVariant(1)));
    }

    void toText_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text") << QVariant("abc") << "abc";
        QTest::newRow("number") << QVariant(12) << "12";
        QTest::newRow("empty list") << QVariant(QVariantList{}) << "";
        QTest::newRow("nested") << QVariant(QVariantList{"a", QVariantList{"b", "c"}}) << "{ a | { b | c } }";
        QTest::newRow("string list") << QVariant(QStringList{"x", "y"}) << "{ x | y }";
    }
    void toText()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        QCOMPARE(variantToString(value), expected);
    }

    void datesCompareByValue()
    {
        // Separately built values, not copies of one another.
        QVERIFY(date(2020, 2) == date(2020, 2));
        QVERIFY(date(2020, 2) != date(2020, 3));
        installVariantHandler(true);
        QVERIFY(variantsEqual(date(2020, 2), date(2020, 2)));
        QVERIFY(!variantsEqual(date(2020, 2), date(2020)));
        installVariantHandler(false);
    }

    void registeredComparatorDecides()
    {
        registerVariantComparator(qMetaTypeId<Tagged>(), equalIgnoringNoise);
        const QVariant a = QVariant::fromValue(Tagged{1, 2});
        const QVariant b = QVariant::fromValue(Tagged{1, 3});
        QVERIFY(!variantsEqual(a, b)); // handler not installed: operator== decides
        installVariantHandler(true);
        QVERIFY(variantsEqual(a, b));
        QVERIFY(!variantsEqual(a, QVariant::fromValue(Tagged{2, 2})));
        QVERIFY(variantsEqual(QVariant("x"), QVariant("x"))); // other types unaffected
        QCOMPARE(commonVariantValue({a, b}).value<Tagged>().noise, 3);
        installVariantHandler(false);
        QVERIFY(!commonVariantValue({a, b}).isValid());
    }
};

QTEST_GUILESS_MAIN(TestVariants)
#include "tst_variants.moc"
