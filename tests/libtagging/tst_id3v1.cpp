#include <QtTest>

#include "libtagging/id3/id3v1genretable.h"

class TestId3v1 : public QObject
{
    Q_OBJECT
private slots:
    void genreTable()
    {
        const auto &genres = Id3v1GenreTable::genres();
        QCOMPARE(genres.size(), 148);
        QCOMPARE(genres.value(0), QStringLiteral("Blues"));
        QCOMPARE(genres.value(17), QStringLiteral("Rock"));
        QCOMPARE(genres.value(67), QStringLiteral("Psychadelic"));
        QCOMPARE(genres.value(147), QStringLiteral("Synthpop"));
        QVERIFY(!genres.contains(148));
        // No two names share a comparison key.
        QCOMPARE(Id3v1GenreTable::genreNumbers().size(), 148);
        const QStringList &sorted = Id3v1GenreTable::sortedGenreNames();
        QCOMPARE(sorted.size(), 148);
        QCOMPARE(sorted.first(), QStringLiteral("A capella"));
        QVERIFY(std::is_sorted(sorted.begin(), sorted.end()));
        QVERIFY(sorted.indexOf("Hard Rock") < sorted.indexOf("Hardcore"));
    }
    void genreNumber_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("case, spaces, punctuation") << "rock & roll" << 78;
        QTest::newRow("exact") << "Hip-Hop" << 7;
        QTest::newRow("unknown") << "Jazzrock" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void genreNumber()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QCOMPARE(Id3v1GenreTable::genreNumber(name), number);
    }
};

QTEST_GUILESS_MAIN(TestId3v1)
#include "tst_id3v1.moc"
