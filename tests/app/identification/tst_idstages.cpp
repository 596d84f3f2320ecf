#include <QtTest>

#include "app/identification/idaudiofile.h"
#include "app/identification/stages/unifycapitalizationandtypos.h"
#include "app/identification/stages/unifyartistspellings.h"
#include "app/identification/idsection.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "libcore/progress/linearprogressobject.h"

#include "support_identification.h"

namespace {
QList<QStringList> perFile(const QStringList &artistValues)
{
    QList<QStringList> result;
    for (const QString &values : artistValues)
        result.append(values.isEmpty() ? QStringList() : values.split(u'/'));
    return result;
}
} // namespace

// Stage 0 (consistent artist spellings) and stage 1 (capitalisation and typos) on small folders.
class TestIdStages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpIdentificationTests(); }

    void artistSpellings_data()
    {
        QTest::addColumn<QStringList>("names");   // base names
        QTest::addColumn<QStringList>("artists"); // artist values per file, '/' between values
        QTest::addColumn<QStringList>("expectedNames");   // sections joined by '|'
        QTest::addColumn<QStringList>("expectedArtists");
        QTest::newRow("one article in two names is dropped")
            << QStringList{"The Lumens - Alpha", "Lumens - Bravo"} << QStringList()
            << QStringList{"Lumens |-| Alpha", "Lumens |-| Bravo"} << QStringList();
        QTest::newRow("the majority's article goes to the end")
            << QStringList{"The Lumens - Alpha", "The Lumens - Bravo", "Lumens - Charlie"} << QStringList()
            << QStringList{"Lumens, The |-| Alpha", "Lumens, The |-| Bravo", "Lumens, The |-| Charlie"}
            << QStringList();
        QTest::newRow("identical sections stay")
            << QStringList{"The Lumens - Alpha", "The Lumens - Bravo", "The Lumens - Charlie"} << QStringList()
            << QStringList{"The Lumens |-| Alpha", "The Lumens |-| Bravo", "The Lumens |-| Charlie"}
            << QStringList();
        QTest::newRow("a tie of spellings drops the article")
            << QStringList{"the Lumens - Alpha", "The Lumens - Bravo"} << QStringList()
            << QStringList{"Lumens |-| Alpha", "Lumens |-| Bravo"} << QStringList();
        QTest::newRow("a first name moves behind the surname")
            << QStringList{"Smith, John - Alpha", "John Smith - Bravo"} << QStringList()
            << QStringList{"Smith, John |-| Alpha", "Smith, John |-| Bravo"} << QStringList();
        QTest::newRow("other positions are not compared")
            << QStringList{"Alpha - The Lumens", "Lumens - Bravo"} << QStringList()
            << QStringList{"Alpha |-| The Lumens", "Lumens |-| Bravo"} << QStringList();
        QTest::newRow("artist values column by column")
            << QStringList{"Alpha", "Bravo", "Charlie", "Delta"}
            << QStringList{"The Lumens", "Lumens/The Quiet Hours", "Lumens, The/Quiet Hours", ""}
            << QStringList{"Alpha", "Bravo", "Charlie", "Delta"}
            << QStringList{"Lumens, The", "Lumens, The", "Quiet Hours", "Lumens, The", "Quiet Hours"};
    }
    void artistSpellings()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, artists);
        QFETCH(QStringList, expectedNames);
        QFETCH(QStringList, expectedArtists);
        QObject owner;
        const QList<IdAudioFile *> files = idFiles(names, &owner, perFile(artists));
        unifyArtistSpellings(files);
        QCOMPARE(sectionTexts(files, 1), expectedNames);
        QCOMPARE(sectionTexts(files, 2), expectedArtists);
        for (const IdAudioFile *file : files)
            QCOMPARE(file->stringList(1)->strings().first()->sectionBreaks(), 3u);
    }

    void capitalizationAndTypos_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("artists");
        QTest::addColumn<QStringList>("expectedNames"); // the whole base names
        QTest::newRow("majority per letter")
            << QStringList{"the lumens - Alpha", "The Lumens - Bravo", "THE LUMENS - Charlie"} << QStringList()
            << QStringList{"The Lumens - Alpha", "The Lumens - Bravo", "The Lumens - Charlie"};
        QTest::newRow("a tie goes upper case") << QStringList{"Lumens - Alpha", "LUMENS - Bravo"} << QStringList()
                                               << QStringList{"LUMENS - Alpha", "LUMENS - Bravo"};
        QTest::newRow("a rare typo in a column")
            << QStringList{"Lumens - Alpha", "Lumens - Bravo", "Lumens - Charlie", "Lumens - Delta", "Lumnes - Echo"}
            << QStringList()
            << QStringList{"Lumens - Alpha", "Lumens - Bravo", "Lumens - Charlie", "Lumens - Delta", "Lumens - Echo"};
        QTest::newRow("too few to correct")
            << QStringList{"Lumens - Alpha", "Lumens - Bravo", "Lumnes - Charlie"} << QStringList()
            << QStringList{"Lumens - Alpha", "Lumens - Bravo", "Lumnes - Charlie"};
        QTest::newRow("corrected by the same file's artist")
            << QStringList{"Alpha", "Bravo", "Charlie", "The Lumnes - Delta"}
            << QStringList{"The Lumens", "The Lumens", "The Lumens", "The Lumens"}
            << QStringList{"Alpha", "Bravo", "Charlie", "The Lumens - Delta"};
        QTest::newRow("not corrected by other files")
            << QStringList{"Alpha", "Bravo", "Charlie", "The Lumnes - Delta"}
            << QStringList{"The Lumens", "The Lumens", "The Lumens", ""}
            << QStringList{"Alpha", "Bravo", "Charlie", "The Lumnes - Delta"};
    }
    void capitalizationAndTypos()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, artists);
        QFETCH(QStringList, expectedNames);
        QObject owner;
        const QList<IdAudioFile *> files = idFiles(names, &owner, perFile(artists));
        LinearProgressObject progress;
        unifyCapitalizationAndTypos(files, &progress);
        QStringList result;
        for (const IdAudioFile *file : files)
            result.append(file->stringList(1)->strings().first()->text());
        QCOMPARE(result, expectedNames);
        QCOMPARE(progress.progress(), 1.0);
    }

    void frequentTextIsNoTypo()
    {
        // Seven occurrences are never rewritten, however many the other spelling has.
        QStringList names;
        for (int i = 0; i < 14; ++i)
            names.append(QStringLiteral("Lumens - %1").arg(i + 1));
        for (int i = 0; i < 7; ++i)
            names.append(QStringLiteral("Lumnes - %1").arg(i + 20));
        QObject owner;
        const QList<IdAudioFile *> files = idFiles(names, &owner);
        unifyCapitalizationAndTypos(files);
        QCOMPARE(files.last()->stringList(1)->strings().first()->text(), QString("Lumnes - 26"));
    }

    void folderNamesCountOncePerLevel()
    {
        QObject owner;
        QStringList names;
        for (int i = 0; i < 10; ++i)
            names.append(QStringLiteral("Song %1").arg(i));
        const QList<IdAudioFile *> files = idFiles(names, &owner, {}, "/music/Quiet Hours");
        IdCapsAndTypoEntry entry;
        for (const IdAudioFile *file : files)
            entry.add(file->stringList(0)->strings().first()->sections().first());
        QCOMPARE(entry.sections.size(), 10);
        QCOMPARE(entry.count(), 1);
        entry.add(files.first()->stringList(0)->strings().at(1)->sections().first()); // level 1
        QCOMPARE(entry.count(), 2);
    }

    void majorityCase_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("result");
        QTest::newRow("none") << QStringList() << QString();
        QTest::newRow("one") << QStringList{"lUmens"} << "lUmens";
        QTest::newRow("three") << QStringList{"the lumens", "The Lumens", "THE LUMENS"} << "The Lumens";
        QTest::newRow("tie") << QStringList{"Lumens", "LUMENS"} << "LUMENS";
        QTest::newRow("other letters") << QStringList{"Lumens", "Lumnes"} << QString();
        QTest::newRow("title-case letter") << QStringList{"\u01C4a", "\u01C5a"} << "\u01C4a";
        QTest::newRow("uncased characters") << QStringList{"ab-12 \u00e9", "AB-12 \u00c9", "aB-12 \u00e9"}
                                             << "aB-12 \u00e9";
    }
    void majorityCase()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, result);
        QCOMPARE(majorityCaseText(texts), result);
        QCOMPARE(majorityCaseText(texts).isNull(), result.isNull());
    }

    void twoThousandFilesOfOneFolder()
    {
        // Every file name is unique but for the artist and the album; the stage must stay
        // near-linear in the number of files.
        QStringList names;
        QList<QStringList> artists;
        for (int i = 0; i < 2000; ++i) {
            const QString artist = i % 997 == 0 ? QStringLiteral("the lumnes") : QStringLiteral("The Lumens");
            names.append(QStringLiteral("%1 - Best Of - %2 - Song %3").arg(artist).arg(i % 100 + 1).arg(i * 7919));
            artists.append({i % 3 ? QStringLiteral("The Lumens") : QStringLiteral("THE LUMENS")});
        }
        QObject owner;
        const QList<IdAudioFile *> files = idFiles(names, &owner, artists, "/music/The Lumens - Best Of");
        QElapsedTimer timer;
        timer.start();
        unifyArtistSpellings(files);
        unifyCapitalizationAndTypos(files);
        qInfo() << "stages 0 and 1 on 2000 files:" << timer.elapsed() << "ms";
        QVERIFY(timer.elapsed() < 120000);
        QCOMPARE(files.first()->stringList(1)->strings().first()->sections().first()->text(), QString("The Lumens "));
        QCOMPARE(files.first()->stringList(2)->strings().first()->text(), QString("Lumens, The"));
    }
};

QTEST_GUILESS_MAIN(TestIdStages)
#include "tst_idstages.moc"
