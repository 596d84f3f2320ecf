#include <QtTest>

#include "app/identification/idaudiofile.h"
#include "app/identification/stages/unifycapitalizationandtypos.h"
#include "app/identification/stages/unifyartistspellings.h"
#include "app/identification/iddefaultgroup.h"
#include "app/identification/stages/groupbysegmentation.h"
#include "app/identification/stages/normalizeidstrings.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idtracknumbergroup.h"
#include "app/identification/idtracknumbers.h"
#include "app/identification/idword.h"

#include "support_identification.h"

namespace {
// A group as text: its words, then per entry the file's index; track-number groups as
// "#disc:" and the numbers.
QString describe(const IdGroup *group, const QList<IdAudioFile *> &files)
{
    QStringList parts;
    if (group->kind() == IdGroup::TrackNumber) {
        const auto *t = static_cast<const IdTrackNumberGroup *>(group);
        QStringList numbers;
        for (int i = 0; i < t->entryCount(); ++i)
            numbers.append(QString::number(static_cast<const IdTrackNumberGroupEntry *>(t->entry(i))->number));
        return QStringLiteral("#%1:%2").arg(t->disc).arg(numbers.join(u','));
    }
    const auto *d = static_cast<const IdDefaultGroup *>(group);
    for (int i = 0; i < d->wordCount(); ++i)
        parts.append(d->wordText(i));
    QStringList entries;
    for (int i = 0; i < d->entryCount(); ++i)
        entries.append(QString::number(files.indexOf(d->entry(i)->string()->audioFile())));
    return parts.join(u' ') + u'@' + entries.join(u',');
}

QStringList describeAll(const QList<IdGroup *> &groups, const QList<IdAudioFile *> &files)
{
    QStringList result;
    for (const IdGroup *group : groups)
        result.append(describe(group, files));
    return result;
}

// Names of a pattern with a two-digit number (%1) and a title word of its own (%2).
QStringList numbered(const QString &pattern, int from, int to)
{
    static const QStringList titles{"Amber", "Birch", "Cedar", "Dune", "Ember", "Fjord", "Grove", "Heath",
                                    "Inlet", "Juniper", "Kelp", "Lagoon", "Meadow", "Nettle"};
    QStringList names;
    for (int i = from; i <= to; ++i) {
        QString name = pattern.arg(i, 2, 10, QLatin1Char('0'));
        if (name.contains(QLatin1String("%2")))
            name = name.arg(titles.at((i - from) % titles.size()));
        names.append(name);
    }
    return names;
}

// The first words of the base names, one row per file.
IdWordTable baseNameTable(const QList<IdAudioFile *> &files)
{
    IdWordTable table;
    for (const IdAudioFile *file : files)
        table.appendRow(file->stringList(1)->strings().first()->realWords());
    return table;
}
} // namespace

// Stage 2: track-number sequences, default groups, pruning and splitting.
class TestIdGrouping : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpIdentificationTests(); }

    void numberSequences_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("four numbered songs") << numbered("%1 Song", 1, 4) << QStringList{"#-1:1,2,3,4"};
        QTest::newRow("three are too few") << numbered("%1 Song", 1, 3) << QStringList();
        QTest::newRow("a gap too wide") << QStringList{"1 a", "2 b", "3 c", "4 d", "9 e"} << QStringList();
        QTest::newRow("one missing number")
            << QStringList{"1 a", "2 b", "3 c", "5 d", "6 e", "7 f"} << QStringList{"#-1:1,2,3,5,6,7"};
        QTest::newRow("one disc as hundreds")
            << numbered("1%1 Song", 1, 12) << QStringList{"#-1:101,102,103,104,105,106,107,108,109,110,111,112"};
        QTest::newRow("two discs as hundreds")
            << numbered("1%1 Song", 1, 6) + numbered("2%1 Song", 1, 6)
            << QStringList{"#1:1,2,3,4,5,6", "#2:1,2,3,4,5,6"};
        QTest::newRow("a duplicate number")
            << QStringList{"1 a", "2 b", "2 c", "3 d", "4 e", "5 f"} << QStringList();
    }
    void numberSequences()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, expected);
        QObject owner;
        const QList<IdAudioFile *> files = idFiles(names, &owner);
        const QList<IdTrackNumberGroup *> groups =
            buildTrackNumberGroups(firstNumberCandidates(baseNameTable(files)), &owner);
        QStringList described;
        for (const IdTrackNumberGroup *group : groups) {
            described.append(describe(group, files));
            for (int i = 0; i < group->entryCount(); ++i) {
                const IdWord *word = static_cast<const IdTrackNumberGroupEntry *>(group->entry(i))->word;
                QCOMPARE(word->group, group);
                QVERIFY(word->audioFile()->inGroup);
            }
        }
        QCOMPARE(described, expected);
    }

    void candidateStrategies_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("afterTrackWords");
        QTest::addColumn<QList<int>>("isolated");
        QTest::newRow("track word") << "Track 7" << QList<int>{7} << QList<int>{7};
        QTest::newRow("bridge word") << "Track No 7" << QList<int>{7} << QList<int>{7};
        QTest::newRow("no number after the bridge") << "Track No Intro 7" << QList<int>() << QList<int>{7};
        QTest::newRow("a count after a separator word") << "1 of 12" << QList<int>() << QList<int>{1};
        QTest::newRow("two numbers apart") << "03 Intro 05" << QList<int>() << QList<int>{3, 5};
        QTest::newRow("a year is no number") << "Song 1999" << QList<int>() << QList<int>();
    }
    void candidateStrategies()
    {
        QFETCH(QString, name);
        QFETCH(QList<int>, afterTrackWords);
        QFETCH(QList<int>, isolated);
        QObject owner;
        const IdWordTable table = baseNameTable(idFiles({name}, &owner));
        const auto numbers = [](const QList<IdNumberCandidate> &candidates) {
            QList<int> result;
            for (const IdNumberCandidate &c : candidates)
                result.append(c.number);
            return result;
        };
        QCOMPARE(numbers(numbersAfterTrackWords(table)), afterTrackWords);
        QCOMPARE(numbers(isolatedNumberCandidates(table)), isolated);
    }

    void fewerCandidatesOfTheFileWin()
    {
        // "03 Intro 05" offers 3 and 5; the file that offers only 5 takes that number.
        QObject owner;
        const QList<IdAudioFile *> files =
            idFiles({"01 a", "02 b", "03 Intro 05", "04 c", "05 d", "06 e"}, &owner);
        const QList<IdNumberCandidate> sequence =
            chooseNumberSequence(isolatedNumberCandidates(baseNameTable(files)));
        QCOMPARE(sequence.size(), 6);
        for (const IdNumberCandidate &c : sequence) {
            if (c.number == 5)
                QCOMPARE(c.word->audioFile(), files.at(4));
        }
    }

    void dominantValues_data()
    {
        QTest::addColumn<QList<int>>("counts"); // value, count pairs
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty") << QList<int>() << 0 << -1;
        QTest::newRow("alone") << QList<int>{3, 5} << 5 << 3;
        QTest::newRow("half is not enough") << QList<int>{3, 2, 4, 1} << 4 << -1;
        QTest::newRow("a strong second") << QList<int>{3, 6, 4, 3} << 9 << -1;
        QTest::newRow("a weak second") << QList<int>{3, 7, 4, 3} << 10 << 3;
    }
    void dominantValues()
    {
        QFETCH(QList<int>, counts);
        QFETCH(int, total);
        QFETCH(int, expected);
        QMap<int, int> map;
        for (qsizetype i = 0; i + 1 < counts.size(); i += 2)
            map.insert(counts.at(i), counts.at(i + 1));
        QCOMPARE(dominantValue(map, total), expected);
    }

    void folders_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("band name, number, title")
            << numbered("Band Name - %1 - %2", 1, 12)
            << QStringList{"Band Name@0,1,2,3,4,5,6,7,8,9,10,11", "#-1:1,2,3,4,5,6,7,8,9,10,11,12"};
        QTest::newRow("artist, album, number, title")
            << numbered("Lumens - Northern Lights - %1 - %2", 1, 8)
            << QStringList{"Lumens Northern Lights@0,1,2,3,4,5,6,7", "#-1:1,2,3,4,5,6,7,8"};
        QTest::newRow("numbers first")
            << numbered("%1 - Quiet Hours - Piece", 1, 6)
            << QStringList{"Quiet Hours Piece@0,1,2,3,4,5", "#-1:1,2,3,4,5,6"};
        QTest::newRow("no numbers") << QStringList{"Alpha", "Bravo", "Charlie", "Delta"} << QStringList();
        QTest::newRow("two discs")
            << numbered("Lumens - 1%1 - %2", 1, 5) + numbered("Lumens - 2%1 - %2", 1, 5)
            // The disc words stay unassigned, so the second search groups them once more.
            << QStringList{"Lumens@0,1,2,3,4,5,6,7,8,9", "1@0,1,2,3,4", "2@5,6,7,8,9", "1@0,1,2,3,4",
                           "2@5,6,7,8,9", "#1:1,2,3,4,5", "#2:1,2,3,4,5"};
    }
    void folders()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, expected);
        QObject owner;
        const QList<IdAudioFile *> files = idFiles(names, &owner);
        const QList<IdGroup *> groups = groupBySegmentation(files, &owner);
        QCOMPARE(describeAll(groups, files), expected);
        for (const IdGroup *group : groups) {
            if (group->kind() != IdGroup::TrackNumber)
                continue;
            for (int i = 0; i < group->entryCount(); ++i) {
                for (const IdWord *word : group->entry(i)->words())
                    QCOMPARE(word->group, group);
            }
        }
    }

    void splitting_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("a block shared between other neighbours")
            << QStringList{"Artist-Album", "Album-Other"}
            << QStringList{"Artist@0", "Album@0", "Album@1", "Other@1"};
        QTest::newRow("spaced dashes make one block") << QStringList{"Artist - Album", "Album - Other"}
                                                      << QStringList{"Artist Album@0", "Album Other@1"};
        QTest::newRow("equal groups stay whole") << QStringList{"Artist-Album", "Artist-Album"}
                                                 << QStringList{"Artist Album@0", "Artist Album@1"};
    }
    void splitting()
    {
        // One group per file, holding all words of its base name.
        QFETCH(QStringList, names);
        QFETCH(QStringList, expected);
        QObject owner;
        const QList<IdAudioFile *> files = idFiles(names, &owner);
        QList<IdGroup *> groups;
        for (const IdAudioFile *file : files) {
            auto *group = new IdDefaultGroup(&owner);
            group->addEntry(new IdDefaultGroupEntry(file->stringList(1)->strings().first()->realWords(), group));
            group->assignWords(true);
            groups.append(group);
        }
        groups = splitDefaultGroups(groups, &owner);
        QCOMPARE(describeAll(groups, files), expected);
        for (const IdGroup *group : std::as_const(groups)) {
            for (const IdWord *word : group->entry(0)->words())
                QCOMPARE(word->group, group);
        }
    }

    void pruning()
    {
        // Three files share a default group but sit in a track-number group of twelve: the
        // group is pruned; with a track-number group of four it stays.
        for (const int tracks : {12, 4}) {
            QObject owner;
            QStringList names = numbered("%1 Lumens %2", 1, tracks);
            const QList<IdAudioFile *> files = idFiles(names, &owner);
            const QList<IdTrackNumberGroup *> trackGroups =
                buildTrackNumberGroups(firstNumberCandidates(baseNameTable(files)), &owner);
            QCOMPARE(trackGroups.size(), 1);
            auto *group = new IdDefaultGroup(&owner);
            for (int i = 0; i < 3; ++i)
                group->addEntry(new IdDefaultGroupEntry({files.at(i)->stringList(1)->strings().first()->realWords().at(1)}, group));
            group->assignWords(false);
            const QList<IdGroup *> kept = pruneDefaultGroups({group});
            QCOMPARE(kept.size(), tracks == 12 ? 0 : 1);
            QCOMPARE(group->entryCount(), tracks == 12 ? 0 : 3);
        }
    }

    void numberContinuesSequence()
    {
        // Nine files form a sequence and share "Lumens"; the tenth, numbered 10 and with
        // "Lumens" at another place of its name, joins the default group.
        QObject owner;
        QStringList names = numbered("Lumens - %1 - %2", 1, 9);
        names.append("Kelp Lumens 10");
        const QList<IdAudioFile *> files = idFiles(names, &owner);
        const QList<IdGroup *> groups = groupBySegmentation(files, &owner);
        const QStringList described = describeAll(groups, files);
        QVERIFY2(described.contains("Lumens@0,1,2,3,4,5,6,7,8,9"), qPrintable(described.join(u' ')));
    }

    void growthWithFolderSize()
    {
        // Stages 0 to 3 over one folder. Four times the files cost about four times the CPU
        // time; a step quadratic in the files costs sixteen, so only such a fault passes the
        // bound of ten. Each size runs twice and the faster run counts.
        const auto run = [](int count) {
            QObject owner;
            QStringList names;
            for (int i = 0; i < count; ++i) {
                QString title;
                for (int n = i + 1; n > 0; n /= 26)
                    title.prepend(QChar(u'a' + n % 26));
                names.append(QStringLiteral("Lumens - Northern Lights - %1 - Song %2").arg(i % 20 + 1).arg(title));
            }
            const QList<IdAudioFile *> files = idFiles(names, &owner);
            const qint64 started = threadCpuMicroseconds();
            unifyArtistSpellings(files);
            unifyCapitalizationAndTypos(files);
            const QList<IdGroup *> groups = groupBySegmentation(files, &owner);
            normalizeIdStrings(files, groups);
            const qint64 used = qMax<qint64>(threadCpuMicroseconds() - started, 1);
            return std::make_pair(used, groups.size() + files.last()->segments().size());
        };
        const auto best = [&run](int count) {
            const auto first = run(count);
            return std::make_pair(qMin(first.first, run(count).first), first.second);
        };
        run(200); // warm up the word lists
        const auto [small, smallGroups] = best(1000);
        const auto [large, largeGroups] = best(4000);
        qInfo() << "stages 0 to 3:" << small / 1000 << "ms CPU for 1000 files," << large / 1000 << "ms for 4000";
        QVERIFY(smallGroups > 0 && largeGroups > 0);
        QVERIFY2(large < 10 * small, qPrintable(QStringLiteral("%1 us, then %2 us").arg(small).arg(large)));
    }
};

QTEST_GUILESS_MAIN(TestIdGrouping)
#include "tst_idgrouping.moc"
