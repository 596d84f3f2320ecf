#include <QtTest>

#include "libcore/util/base64.h"
#include "libcore/util/byteview.h"
#include "libcore/util/checksum.h"
#include "libcore/util/listutil.h"

namespace {
struct Base {
    virtual ~Base() = default;
};
struct Derived : Base {
};

// Counts live instances, so removals that leak or double-destroy show up.
struct Tracked {
    static int alive;
    int value = 0;
    Tracked(int v = 0) : value(v) { ++alive; }
    Tracked(const Tracked &o) : value(o.value) { ++alive; }
    Tracked &operator=(const Tracked &) = default;
    ~Tracked() { --alive; }
    bool operator==(const Tracked &o) const { return value == o.value; }
};
int Tracked::alive = 0;
size_t qHash(const Tracked &t, size_t seed = 0) { return ::qHash(t.value, seed); }

QStringList letters(const char *text)
{
    QStringList list;
    for (const char *p = text; *p; ++p)
        list.append(QString(QLatin1Char(*p)));
    return list;
}
} // namespace

class TestUtil : public QObject
{
    Q_OBJECT
private slots:
    void crc_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint32>("initial");
        QTest::addColumn<quint32>("crc");
        QTest::newRow("empty keeps initial 0") << QByteArray() << 0u << 0u;
        QTest::newRow("empty keeps initial value") << QByteArray() << 0x12345678u << 0x12345678u;
        QTest::newRow("check value, Ogg") << QByteArray("123456789") << 0u << 0x89A1897Fu;
        QTest::newRow("check value, MPEG-2") << QByteArray("123456789") << 0xFFFFFFFFu << 0x0376E6E7u;
        QTest::newRow("high bytes unsigned") << QByteArray("\xff\x80", 2) << 0u << 0x27B3C427u;
    }
    void crc()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint32, initial);
        QFETCH(quint32, crc);
        QCOMPARE(crc32(bytes, initial, 0x04C11DB7u), crc);
    }

    void base64_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("abc") << QByteArray("abc") << QStringLiteral("YWJj");
        QTest::newRow("padded, plus") << QByteArray("\xfb", 1) << QStringLiteral("+w==");
        QTest::newRow("slash") << QByteArray("\xff\xff", 2) << QStringLiteral("//8=");
    }
    void base64()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(toBase64String(bytes), text);
        QCOMPARE(fromBase64Url(text), bytes);
    }

    void base64Url_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("url alphabet, no padding") << QStringLiteral("-w") << QByteArray("\xfb", 1);
        QTest::newRow("percent padding upper") << QStringLiteral("+w%3D%3D") << QByteArray("\xfb", 1);
        QTest::newRow("percent padding lower") << QStringLiteral("+w%3d%3d") << QByteArray("\xfb", 1);
        QTest::newRow("underscore") << QStringLiteral("__8") << QByteArray("\xff\xff", 2);
        QTest::newRow("line breaks skipped") << QStringLiteral("YW\nJj") << QByteArray("abc");
    }
    void base64Url()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(fromBase64Url(text), bytes);
    }

    void leftView_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("sharesSource");
        QTest::newRow("part") << 4 << QByteArray("0123") << true;
        QTest::newRow("all") << 10 << QByteArray("0123456789") << true;
        QTest::newRow("more than all") << 20 << QByteArray("0123456789") << true;
        QTest::newRow("zero") << 0 << QByteArray() << false;
        QTest::newRow("negative") << -1 << QByteArray() << false;
    }
    void leftView()
    {
        QFETCH(int, n);
        QFETCH(QByteArray, expected);
        QFETCH(bool, sharesSource);
        const QByteArray source("0123456789");
        const QByteArray view = leftBytesView(source, n);
        QCOMPARE(view, expected);
        QCOMPARE(view.constData() == source.constData(), sharesSource);
        QVERIFY(leftBytesView(QByteArray(), 3).isNull());
    }

    void midView_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("offset"); // where the view starts in the source; -1: no view
        QTest::newRow("runs past end") << 8 << 5 << QByteArray("89") << 8;
        QTest::newRow("negative position") << -3 << 2 << QByteArray("01") << 0;
        QTest::newRow("at end") << 10 << 1 << QByteArray() << -1;
        QTest::newRow("beyond end") << 11 << -1 << QByteArray() << -1;
        QTest::newRow("zero length") << 2 << 0 << QByteArray() << -1;
        QTest::newRow("to end") << 7 << -1 << QByteArray("789") << 7;
        QTest::newRow("whole source still a view") << 0 << -1 << QByteArray("0123456789") << 0;
        QTest::newRow("huge length") << 9 << INT_MAX << QByteArray("9") << 9;
    }
    void midView()
    {
        QFETCH(int, position);
        QFETCH(int, length);
        QFETCH(QByteArray, expected);
        QFETCH(int, offset);
        const QByteArray source("0123456789");
        QByteArray view = midBytesView(source, position, length);
        QCOMPARE(view, expected);
        if (offset < 0) {
            QVERIFY(view.isNull());
            return;
        }
        QCOMPARE(view.constData(), source.constData() + offset);
        // Writing detaches the view and leaves the source alone.
        view[0] = 'x';
        QCOMPARE(source, QByteArray("0123456789"));
    }

    void zeroFilled_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("zero");
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("four zeros") << QByteArray(4, '\0') << true;
        QTest::newRow("last byte set") << QByteArray("\0\0\1", 3) << false;
        QTest::newRow("first byte set") << QByteArray("\x80\0", 2) << false;
    }
    void zeroFilled()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, zero);
        QCOMPARE(isZeroFilled(bytes), zero);
    }

    void sortTexts()
    {
        QStringList list = letters("bAa");
        const QStringList before = list;
        ListUtil::sort(list, true);
        QCOMPARE(list, letters("Aab"));
        QCOMPARE(before, letters("bAa")); // the copy was not touched
        ListUtil::sort(list, false);
        QCOMPARE(list, letters("baA"));

        QStringList empty;
        ListUtil::sort(empty, true);
        QVERIFY(empty.isEmpty());
    }

    void sortIsStable()
    {
        using Pair = std::pair<int, QString>;
        const auto byFirst = [](const Pair &a, const Pair &b) { return a.first < b.first; };
        QList<Pair> list {{2, "a"}, {1, "b"}, {2, "c"}, {1, "d"}};
        ListUtil::sort(list, true, byFirst);
        QCOMPARE(list, (QList<Pair> {{1, "b"}, {1, "d"}, {2, "a"}, {2, "c"}}));
        ListUtil::sort(list, false, byFirst);
        QCOMPARE(list, (QList<Pair> {{2, "a"}, {2, "c"}, {1, "b"}, {1, "d"}}));
    }

    void insert_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no items") << 1 << QStringList() << letters("ab");
        QTest::newRow("negative index") << -1 << letters("xy") << letters("ab");
        QTest::newRow("middle") << 1 << letters("xy") << letters("axyb");
        QTest::newRow("at end") << 2 << letters("xy") << letters("abxy");
        QTest::newRow("past end") << 7 << letters("xy") << letters("abxy");
        QTest::newRow("one at front") << 0 << letters("x") << letters("xab");
        QTest::newRow("one past end") << 7 << letters("x") << letters("abx");
        QTest::newRow("several at front") << 0 << letters("xyz") << letters("xyzab");
    }
    void insert()
    {
        QFETCH(int, index);
        QFETCH(QStringList, items);
        QFETCH(QStringList, expected);
        QStringList list = letters("ab");
        const QStringList copy = list;
        ListUtil::insert(list, index, items);
        QCOMPARE(list, expected);
        QCOMPARE(copy, letters("ab"));
    }

    void removeRange_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("count 0") << 1 << 0 << letters("abcde");
        QTest::newRow("negative count") << 1 << -2 << letters("abcde");
        QTest::newRow("one, before start") << -1 << 1 << letters("abcde");
        QTest::newRow("one, at end") << 5 << 1 << letters("abcde");
        QTest::newRow("one") << 2 << 1 << letters("abde");
        QTest::newRow("several") << 1 << 3 << letters("ae");
        QTest::newRow("clamped at end") << 3 << 10 << letters("abc");
        QTest::newRow("clamped at start") << -2 << 3 << letters("bcde");
        QTest::newRow("wholly outside") << 6 << 3 << letters("abcde");
        QTest::newRow("huge count") << 1 << INT_MAX << letters("a");
    }
    void removeRange()
    {
        QFETCH(int, index);
        QFETCH(int, count);
        QFETCH(QStringList, expected);
        QStringList list = letters("abcde");
        ListUtil::removeRange(list, index, count);
        QCOMPARE(list, expected);
    }

    void removeItems_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("last occurrence only") << letters("abac") << letters("ac") << letters("ab");
        QTest::newRow("item given twice") << letters("abac") << letters("aa") << letters("abc");
        QTest::newRow("not in list") << letters("abac") << letters("xy") << letters("abac");
        QTest::newRow("runs") << letters("abcdefg") << letters("gbcef") << letters("ad");
        QTest::newRow("everything") << letters("abc") << letters("cba") << QStringList();
    }
    void removeItems()
    {
        QFETCH(QStringList, list);
        QFETCH(QStringList, items);
        QFETCH(QStringList, expected);
        ListUtil::removeItems(list, items);
        QCOMPARE(list, expected);
    }

    void removeItemsDestroysElements()
    {
        Tracked::alive = 0;
        {
            QList<Tracked> list {1, 2, 3, 2};
            ListUtil::removeItems(list, QList<Tracked> {2, 3});
            QCOMPARE(list.size(), 2);
            QCOMPARE(list.at(0).value, 1);
            QCOMPARE(list.at(1).value, 2);
        }
        QCOMPARE(Tracked::alive, 0);
    }

    void reverse_data()
    {
        QTest::addColumn<QList<int>>("list");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("empty") << QList<int>() << QList<int>();
        QTest::newRow("one") << QList<int> {1} << QList<int> {1};
        QTest::newRow("odd") << QList<int> {1, 2, 3} << QList<int> {3, 2, 1};
        QTest::newRow("even") << QList<int> {1, 2, 3, 4} << QList<int> {4, 3, 2, 1};
    }
    void reverse()
    {
        QFETCH(QList<int>, list);
        QFETCH(QList<int>, expected);
        const QList<int> copy = list;
        ListUtil::reverse(list);
        QCOMPARE(list, expected);
        if (copy.size() > 1)
            QVERIFY(copy != list);
    }

    void convertPointers()
    {
        Derived a, b;
        const QList<Derived *> derived {&a, &b};
        const QList<Base *> bases = ListUtil::convert<Base *>(derived);
        QCOMPARE(bases.size(), 2);
        QCOMPARE(bases.at(0), static_cast<Base *>(&a));
        QCOMPARE(ListUtil::convert<Derived *>(bases), derived);
    }

    void filled()
    {
        QCOMPARE(ListUtil::filled(3, true), (QList<bool> {true, true, true}));
        QCOMPARE(ListUtil::filled<int>(2), (QList<int> {0, 0}));
        QVERIFY(ListUtil::filled(0, 5).isEmpty());
        QVERIFY(ListUtil::filled(-4, 5).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestUtil)
#include "tst_util.moc"
