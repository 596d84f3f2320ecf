#include <QtTest>

#include "libcore/text/textmatching.h"
#include "libcore/text/wordsplitting.h"

namespace {
// U+1F600 and U+1F601: one code point, two UTF-16 units each.
const QString P1 = QString::fromUcs4(U"\U0001F600");
const QString P2 = QString::fromUcs4(U"\U0001F601");

// The whole-matrix distance, as a reference for the banded rows.
int referenceDistance(const QList<uint> &a, const QList<uint> &b)
{
    const qsizetype n = a.size(), m = b.size();
    QList<QList<int>> d(n + 1, QList<int>(m + 1));
    for (qsizetype i = 0; i <= n; ++i)
        d[i][0] = int(i);
    for (qsizetype j = 0; j <= m; ++j)
        d[0][j] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        for (qsizetype j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i][j - 1] + 1, d[i - 1][j] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && b[j - 1] == a[i - 2])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + cost);
        }
    }
    return d[n][m];
}

} // namespace

class TestWords : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(QResource::registerResource(QCoreApplication::applicationDirPath() + "/libcore.rcc",
                                            QStringLiteral("/libcore")));
    }

    void distance_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("distance");
        QTest::newRow("identical") << "abc" << "abc" << 0;
        QTest::newRow("both empty") << "" << "" << 0;
        QTest::newRow("one empty") << "abc" << "" << 3;
        QTest::newRow("other empty") << "" << "abc" << 3;
        QTest::newRow("transposition") << "ca" << "ac" << 1;
        QTest::newRow("case-sensitive") << "abc" << "ABC" << 3;
        QTest::newRow("outside BMP costs 1") << "a" + P1 << "a" + P2 << 1;
        QTest::newRow("pair against single unit") << P1 << "x" << 1;
        QTest::newRow("kitten") << "kitten" << "sitting" << 3;
        QTest::newRow("no edit after swap") << "ca" << "abc" << 3;
        QTest::newRow("three swaps") << "abcdef" << "badcfe" << 3;
        QTest::newRow("insert at front") << "bcdef" << "abcdef" << 1;
    }
    void distance()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, distance);
        QCOMPARE(editDistance(a, b), distance);
        QCOMPARE(editDistance(b, a), distance);
        for (int limit = 0; limit <= 4; ++limit)
            QCOMPARE(editDistance(a, b, limit), std::min(distance, limit + 1));
    }

    // The rows and the band give the same result as the whole matrix.
    void distanceMatchesMatrix()
    {
        QRandomGenerator random(20240611);
        for (int round = 0; round < 400; ++round) {
            QList<uint> a, b;
            QString ta, tb;
            const auto fill = [&](QList<uint> &codes, QString &text) {
                const int length = random.bounded(12);
                for (int k = 0; k < length; ++k) {
                    const uint c = random.bounded(3) == 0 ? 0x1F600 + random.bounded(2) : 'a' + random.bounded(3);
                    codes.append(c);
                    text += QString::fromUcs4(reinterpret_cast<const char32_t *>(&c), 1);
                }
            };
            fill(a, ta);
            fill(b, tb);
            const int expected = referenceDistance(a, b);
            QCOMPARE(editDistance(ta, tb), expected);
            const int limit = random.bounded(6);
            QCOMPARE(editDistance(ta, tb, limit), std::min(expected, limit + 1));
        }
    }

    // Lyrics-sized texts: a whole matrix would take 1.6 GB, and walking all of it for a
    // tolerance of a fifth would take minutes under the sanitizers.
    void distanceOfLongTexts()
    {
        const QString verse = QStringLiteral("we walked along the river in the evening light\n");
        const QString a = verse.repeated(420); // 20,160 units
        QString b = a;
        b[0] = QLatin1Char('W');
        b[10000] = QLatin1Char('#');
        b.remove(15000, 1);
        const QString shouted = a.toUpper();

        QElapsedTimer timer;
        timer.start();
        QCOMPARE(editDistance(a, b), 3);
        QCOMPARE(editDistance(a, b, 2), 3);
        QVERIFY(isSimilarText(a, b));
        QVERIFY(!isSimilarText(a, shouted));
        QCOMPARE(editDistance(a, shouted, 100), 101);
        QVERIFY2(timer.elapsed() < 60000, qPrintable(QString::number(timer.elapsed())));
    }

    void similarText_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("similar");
        QTest::newRow("3 units, equal") << "abc" << "abc" << true;
        QTest::newRow("3 units, one edit") << "abc" << "abd" << false;
        QTest::newRow("4 units, one edit") << "abcd" << "abce" << true;
        QTest::newRow("4 units, two edits") << "abcd" << "abef" << false;
        QTest::newRow("15 units, 3 edits") << "abcdefghijklmno" << "xbcdxfghxjklmno" << true;
        QTest::newRow("15 units, 4 edits") << "abcdefghijklmno" << "xbcdxfghxjklxno" << false;
        QTest::newRow("14 units, 3 edits") << "abcdefghijklmn" << "xbcdxfghxjklmn" << true;
        QTest::newRow("length gap too big") << "abcdefgh" << "abcdefghijk" << false;
        QTest::newRow("length gap allowed") << "abcdefgh" << "abcdefghij" << true;
        // 4 code points but 8 units: the unit tolerance lets it through, the code point
        // tolerance (1) does not.
        QTest::newRow("code point tolerance") << P1 + P1 + P1 + P1 << P2 + P2 + P1 + P1 << false;
        QTest::newRow("empty texts") << "" << "" << true;
    }
    void similarText()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, similar);
        QCOMPARE(isSimilarText(a, b), similar);
        QCOMPARE(isSimilarText(b, a), similar);
    }

    void fuzzyPrefix_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("matches");
        const QString twelve = QStringLiteral("abcdefghijkl");
        const QString variant = QStringLiteral("abcdefghijkx");
        QTest::newRow("equal keys") << "The Beatles!" << "the beatles" << true;
        QTest::newRow("11 code points, prefix") << "abcdefghijk" << "abcdefghijk and more" << false;
        QTest::newRow("12, b 36 long, one edit") << twelve << variant + QString(24, 'z') << true;
        QTest::newRow("12, b 37 long") << twelve << twelve + QString(25, 'z') << false;
        QTest::newRow("12, b shorter") << twelve << "abcdefghij" << false;
        QTest::newRow("12, too different") << twelve << "abcdefxyzwvu" + QString(5, 'z') << false;
        QTest::newRow("17, b 68 long") << QString(17, 'a') << QString(17, 'a') + QString(51, 'b') << true;
        QTest::newRow("17, b 69 long") << QString(17, 'a') << QString(17, 'a') + QString(52, 'b') << false;
        QTest::newRow("25, b any length") << QString(25, 'a') << QString(25, 'a') + QString(500, 'b') << true;
        QTest::newRow("keys ignore punctuation") << "abc-def-ghi-jkl" << "ABC DEF GHI JKL, Vol. 2" << true;
    }
    void fuzzyPrefix()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, matches);
        QCOMPARE(matchesFuzzyPrefix(a, b), matches);
    }

    void similarWordText()
    {
        QVERIFY(isSimilarWordText(QStringLiteral("Guns N' Roses"), QStringLiteral("guns n roses")));
        QVERIFY(isSimilarWordText(QStringLiteral("Beyoncé"), QStringLiteral("BEYONCE")));
        QVERIFY(isSimilarWordText(QStringLiteral("R.E.M."), QStringLiteral("REM")));
        QVERIFY(!isSimilarWordText(QStringLiteral("Abba"), QStringLiteral("Bjork")));
    }

    void splitWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("initials and contraction") << "X.Y.Z. band's" << 63 << QStringList {"xyz", "band"};
        QTest::newRow("separators") << "Rock/Pop_Live" << 0 << QStringList {"Rock", "Pop", "Live"};
        QTest::newRow("join apostrophes") << "rock'n'roll" << 16 << QStringList {"rock", "nroll"};
        QTest::newRow("drop contraction") << "don't" << 8 << QStringList {"don"};
        QTest::newRow("upper-case contraction kept") << "DON'T" << 8 << QStringList {"DON", "T"};
        QTest::newRow("three initials") << "J.R.R. Tolkien" << 4 << QStringList {"JRR", "Tolkien"};
        QTest::newRow("initials off") << "J.R.R. Tolkien" << 0 << QStringList {"J", "R", "R", "Tolkien"};
        QTest::newRow("digits are no initials") << "1.2.3" << 4 << QStringList {"1", "2", "3"};
        QTest::newRow("curly apostrophe") << QString::fromUtf8("it\u2019s") << 8 << QStringList {"it"};
        QTest::newRow("accents") << QString::fromUtf8("Café Über") << 3 << QStringList {"cafe", "uber"};
        QTest::newRow("accents kept without flag") << QString::fromUtf8("Café") << 1
                                                   << QStringList {QString::fromUtf8("café")};
        QTest::newRow("marks are word characters")
            << QString::fromUtf8("ke\u0308 a\u0323b") << 0
            << QStringList {QString::fromUtf8("ke\u0308"), QString::fromUtf8("a\u0323b")};
        QTest::newRow("combining acute is an apostrophe") << QString::fromUtf8("ke\u0301s") << 0
                                                          << QStringList {"ke", "s"};
        // The mark belongs to the word, so e\u0308 is no lone letter.
        QTest::newRow("mark ends no initial") << QString::fromUtf8("a.e\u0308.") << 4
                                              << QStringList {"a", QString::fromUtf8("e\u0308")};
        QTest::newRow("empty") << "" << 191 << QStringList();
        QTest::newRow("only punctuation") << "-- ... !!" << 191 << QStringList();
        QTest::newRow("non-BMP letters") << QString::fromUcs4(U"\U0001D400x y") << 0
                                         << QStringList {QString::fromUcs4(U"\U0001D400x"), "y"};
    }
    void splitWords()
    {
        QFETCH(QString, text);
        QFETCH(int, flags);
        QFETCH(QStringList, words);
        QCOMPARE(::splitWords(text, flags), words);
    }

    void accents()
    {
        const QHash<QString, QString> &table = accentTable();
        QVERIFY(!table.isEmpty());
        QCOMPARE(removeAccents(QString::fromUtf8("Ærøskøbing Straße")), QStringLiteral("AEroskobing Strasse"));
        // Decomposed text loses its combining marks.
        QCOMPARE(removeAccents(QString::fromUtf8("Cafe\u0301")), QStringLiteral("Cafe"));
        QCOMPARE(removeAccents(QString()), QString());
    }

    void removeAccentsWithTable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two units win") << "xae" << "x@";
        QTest::newRow("single units") << "ab" << "Ab";
        QTest::newRow("empty replacement removes") << "a-e" << "Ae";
        QTest::newRow("last unit") << "za" << "zA";
        QTest::newRow("unknown kept") << "qrs" << "qrs";
    }
    void removeAccentsWithTable()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QHash<QString, QString> table {{"ae", "@"}, {"a", "A"}, {"-", ""}};
        QCOMPARE(removeAccents(text, table), expected);
        QCOMPARE(removeAccents(text, {}), text);
    }

    void readAccentTableFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("accents.csv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("a\tb\n"                // header, skipped
                   "\xc3\xa9\te\n"         // é
                   "x\ty\tz\n"             // three columns
                   "no tab\n"
                   "\xcc\x81\t\n"          // combining acute, removed
                   "\xc3\xa9\tE\n"         // later line wins
                   " q\t r\n");            // nothing trimmed
        file.close();
        const QHash<QString, QString> table = readAccentTable(path);
        const QHash<QString, QString> expected {
            {QString::fromUtf8("\u00e9"), "E"}, {QString::fromUtf8("\u0301"), ""}, {" q", " r"}};
        QCOMPARE(table, expected);
        QVERIFY(readAccentTable(dir.filePath("missing.csv")).isEmpty());
    }

    void apostrophes()
    {
        QCOMPARE(normalizeApostrophes(QString::fromUtf8("a\u2019b`c\u00b4d\u02bae")),
                 QString::fromUtf8("a'b'c'd\u02bae"));
        QCOMPARE(normalizeApostrophes(P1 + "'"), P1 + "'");
    }

    void placeholders_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("two") << "Resize to %1 x %2 pixels"
                             << QStringList {"Resize to", "%1", "x", "%2", "pixels"};
        QTest::newRow("by number") << "%2 then %1" << QStringList {"%2", "then", "%1"};
        QTest::newRow("none") << "  no placeholders " << QStringList {"no placeholders"};
        QTest::newRow("gap") << "%1 and %3" << QStringList {"%1", "and %3"};
        QTest::newRow("first occurrence only") << "%1-%1" << QStringList {"%1", "-%1"};
        QTest::newRow("%10 is not %1") << "a %10 b %1" << QStringList {"a %10 b", "%1"};
        QTest::newRow("empty") << "" << QStringList();
    }
    void placeholders()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, pieces);
        QCOMPARE(splitAtPlaceholders(pattern), pieces);
    }

    void decimalNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank") << "  " << false;
        QTest::newRow("spaces around") << " 12 " << true;
        QTest::newRow("space inside") << "1 2" << false;
        QTest::newRow("Arabic-Indic") << QString::fromUtf8("\u0661\u0662") << true;
        QTest::newRow("sign") << "-12" << false;
        QTest::newRow("letter number is no digit") << QString::fromUtf8("\u2162") << false;
        QTest::newRow("tab and no-break space") << QString::fromUtf8("\t7\u00a0") << true;
    }
    void decimalNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QCOMPARE(isDecimalNumber(text), number);
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("equal");
        QTest::newRow("both empty") << "" << "" << false;
        QTest::newRow("both blank") << " " << "  " << false;
        QTest::newRow("zero and empty") << "0" << "" << false;
        QTest::newRow("leading zero") << "7" << "07" << true;
        QTest::newRow("spaces") << " 42 " << "42" << true;
        QTest::newRow("zeros") << "0" << "000" << true;
        QTest::newRow("zero and blank zero") << " 0 " << "00" << true;
        QTest::newRow("prefix") << "12" << "1" << false;
        QTest::newRow("letters") << "7a" << "7a" << false;
        QTest::newRow("other script equal") << QString::fromUtf8("\u0667") << QString::fromUtf8("\u0667") << true;
        QTest::newRow("other script differs") << QString::fromUtf8("\u0667") << "7" << false;
        QTest::newRow("trailing text") << "7 x" << "7" << false;
        QTest::newRow("zero against seven") << "0" << "7" << false;
        QTest::newRow("word against number") << " x" << "7" << false;
        QTest::newRow("digit beyond the first plane")
            << QString::fromUcs4(U" \U0001D7CF") << QString::fromUcs4(U"\U0001D7CF ") << true;
    }
    void numbers()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, equal);
        QCOMPARE(equalNumbers(a, b), equal);
        QCOMPARE(equalNumbers(b, a), equal);
    }

    void stringHelpers()
    {
        QVERIFY(equalStrings("Abc", "aBC", Qt::CaseInsensitive));
        QVERIFY(!equalStrings("Abc", "aBC", Qt::CaseSensitive));
        QVERIFY(equalLocaleAware("abc", "abc"));
        QCOMPARE(longerString("ab", "cd"), QStringLiteral("ab"));
        QCOMPARE(longerString("ab", "cde"), QStringLiteral("cde"));
        QVERIFY(containsDuplicates({"Abc", "x", "aBC"}, Qt::CaseInsensitive));
        QVERIFY(!containsDuplicates({"Abc", "x", "aBC"}, Qt::CaseSensitive));
        QVERIFY(!containsDuplicates({}, Qt::CaseSensitive));
    }

    void mostFrequent_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("count");
        QTest::newRow("tie, first in order wins") << QStringList {"b", "a", "b", "a"} << "a" << 2;
        QTest::newRow("clear winner") << QStringList {"a", "c", "c"} << "c" << 2;
        QTest::newRow("capitals sort first") << QStringList {"b", "B"} << "B" << 1;
        QTest::newRow("empty") << QStringList() << QString() << 0;
    }
    void mostFrequent()
    {
        QFETCH(QStringList, list);
        QFETCH(QString, entry);
        QFETCH(int, count);
        int found = -1;
        const QString result = mostFrequentString(list, &found);
        QCOMPARE(result, entry);
        QCOMPARE(result.isNull(), entry.isNull());
        QCOMPARE(found, count);
        QCOMPARE(mostFrequentCount(list), count);
    }

    void deletions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("prefixLength");
        QTest::addColumn<int>("maxDeletions");
        QTest::addColumn<QStringList>("variants");
        QTest::newRow("empty") << "" << 3 << 1 << QStringList();
        QTest::newRow("no deletions") << "abcdef" << 3 << 0 << QStringList {"abc"};
        QTest::newRow("one deletion") << "abcdef" << 3 << 1 << QStringList {"abc", "abd", "acd", "bcd"};
        QTest::newRow("two deletions") << "abcde" << 2 << 2
                                       << QStringList {"ab", "ac", "ad", "bc", "bd", "cd"};
        QTest::newRow("short text") << "ab" << 3 << 1 << QStringList {"a", "ab", "b"};
        QTest::newRow("pairs kept whole") << P1 + "b" + P2 << 2 << 1
                                          << QStringList {"b" + P2, P1 + "b", P1 + P2};
    }
    void deletions()
    {
        QFETCH(QString, text);
        QFETCH(int, prefixLength);
        QFETCH(int, maxDeletions);
        QFETCH(QStringList, variants);
        QStringList result = deletionVariants(text, prefixLength, maxDeletions);
        result.sort();
        variants.sort();
        QCOMPARE(result, variants);
    }
};

QTEST_GUILESS_MAIN(TestWords)
#include "tst_words.moc"
