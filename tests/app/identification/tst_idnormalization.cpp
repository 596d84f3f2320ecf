#include <QtTest>

#include "app/identification/idaudiofile.h"
#include "app/identification/stages/groupbysegmentation.h"
#include "app/identification/stages/normalizeidstrings.h"
#include "app/identification/idsegment.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idword.h"

#include "support_identification.h"

namespace {
IdString *baseName(const IdAudioFile *file)
{
    return file->stringList(1)->strings().first();
}

// The stretches between segment ends that hold words: their words, and the category of the
// first when it is not plain ("Track:13|03:3").
QString marks(const IdString *string)
{
    QStringList stretches;
    QStringList words;
    int category = 0;
    const QList<IdWord *> all = string->words();
    for (qsizetype k = 0; k < all.size(); ++k) {
        const IdWord *word = all.at(k);
        if (word->kind() == IdWordKind::Word) {
            if (words.isEmpty())
                category = word->category;
            words.append(word->text());
        }
        if ((word->boundary == 2 || k + 1 == all.size()) && !words.isEmpty()) {
            stretches.append(words.join(u' ') +
                             (category != IdWordCategory::PlainWord ? u':' + QString::number(category) : QString()));
            words.clear();
        }
    }
    return stretches.join(u'|');
}

QStringList segmentTexts(const IdAudioFile *file, int kind)
{
    QStringList texts;
    for (const IdSegment *segment : file->segments()) {
        if (segment->sourceKind() == kind)
            texts.append(segment->text());
    }
    return texts;
}
} // namespace

// Stage 3: marks on the words of one string, the marks across strings, and the segments.
class TestIdNormalization : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpIdentificationTests(); }

    void stringSteps_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("track of count") << "Track 03 of 12" << "Track:13|03:3|of:14|12:4";
        QTest::newRow("disc count first") << "CD 3/2" << "CD:9|3:6|2:5";
        QTest::newRow("rising years") << "1999 - 2001" << "1999 2001";
        QTest::newRow("falling years") << "2001 - 1999" << "2001:8|1999:8";
        QTest::newRow("a word before the year") << "Live 1999" << "Live 1999";
        QTest::newRow("a bracketed year") << "Title (1999) Live" << "Title|1999:8|Live";
        QTest::newRow("six bracketed numbers") << "A (1 2 3 4 5 6)" << "A|1 2 3 4 5 6:14";
        QTest::newRow("five bracketed numbers") << "A (1 2 3 4 5)" << "A 1 2 3 4 5";
        QTest::newRow("a web address") << "Song (www.example.com)" << "Song|www example com:14";
        QTest::newRow("http without a colon") << "http example" << "http example";
    }
    void stringSteps()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        IdString text(name);
        IdString *string = &text;
        string->setSectionBreaks(9);
        markNumberPhrases(string, true);
        markNumberPhrases(string, false);
        markYears(string);
        markBracketedNumberLists(string);
        markWebAddresses(string);
        QCOMPARE(marks(string), expected);
    }

    void trackKeywordInFolderNames()
    {
        QObject owner;
        const QList<IdAudioFile *> files = idFiles({"Song"}, &owner, {}, "/music/Track 3 CD 2");
        IdString *folder = files.first()->stringList(0)->strings().first();
        markNumberPhrases(folder, true);
        markNumberPhrases(folder, false);
        QCOMPARE(marks(folder), QStringLiteral("Track 3|CD:9|2:5"));
    }

    void trackNumbers()
    {
        QObject owner;
        const QList<IdAudioFile *> files = idFiles({"Track 5 Song", "Track 5 Track 6", "Song"}, &owner);
        for (IdAudioFile *file : files)
            markNumberPhrases(baseName(file), true);
        QCOMPARE(trackNumberOf(files.at(0)), 5);
        QCOMPARE(trackNumberOf(files.at(1)), -1);
        QCOMPARE(trackNumberOf(files.at(2)), -1);
    }

    void folders_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("firstSegments"); // of the first file's base name
        QTest::newRow("band, number, title")
            << QStringList{"Band Name - 01 - Amber", "Band Name - 02 - Birch", "Band Name - 03 - Cedar",
                           "Band Name - 04 - Dune", "Band Name - 05 - Ember"}
            << QStringList{"Band Name ", " 01 ", " Amber"};
        QTest::newRow("numbers with a shared dash")
            << QStringList{"01 Lumens - Amber", "02 Quiet - Birch", "03 Hours - Cedar", "04 Fjord - Dune",
                           "05 Grove - Ember"}
            << QStringList{"01 ", "Lumens ", " Amber"};
        QTest::newRow("no numbers") << QStringList{"Amber", "Birch"} << QStringList{"Amber"};
    }
    void folders()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, firstSegments);
        QObject owner;
        const QList<IdAudioFile *> files = idFiles(names, &owner);
        const QList<IdGroup *> groups = groupBySegmentation(files, &owner);
        normalizeIdStrings(files, groups);
        QCOMPARE(segmentTexts(files.first(), 1), firstSegments);
        for (const IdAudioFile *file : files) {
            for (const IdSegment *segment : file->segments())
                QCOMPARE(segment->parent(), file);
        }
    }

    void repeatedSections()
    {
        // The artist of the folder name recurs in the file name, cut off by a short hyphen: it
        // becomes a segment of its own.
        QObject owner;
        const QList<IdAudioFile *> files = idFiles({"Lumens-Amber"}, &owner, {}, "/music/Lumens");
        normalizeIdStrings(files, {});
        QCOMPARE(segmentTexts(files.first(), 1), (QStringList{"Lumens", "Amber"}));
    }
};

QTEST_GUILESS_MAIN(TestIdNormalization)
#include "tst_idnormalization.moc"
