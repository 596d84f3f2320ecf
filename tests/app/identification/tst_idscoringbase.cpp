#include <QtTest>

#include <QRandomGenerator>

#include "app/identification/idaudiofile.h"
#include "app/identification/idmappingmatrix.h"
#include "app/identification/idscoringcontext.h"
#include "app/identification/idsegment.h"
#include "app/identification/idsegmentgroup.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idtaggingpool.h"
#include "app/identification/idword.h"

#include "support_identification.h"

namespace {
using Weights = QList<QList<int>>;
using Scores = QMap<int, int>;

// A segment over the whole first string of the kind of a new file: 0 a folder name, 1 the
// base name, 2 the artist tag.
IdSegment *segmentOf(const QString &text, int kind, const Scores &scores, QObject *owner)
{
    QString folder = QStringLiteral("/music/Folder");
    QString name = QStringLiteral("Name");
    QList<QStringList> artists;
    if (kind == 0)
        folder = "/music/" + text;
    else if (kind == 1)
        name = text;
    else
        artists.append({text});
    IdAudioFile *file = idFiles({name}, owner, artists, folder).first();
    IdString *string = file->stringList(kind)->strings().first();
    auto *segment = new IdSegment(string, string->words(), owner);
    for (auto it = scores.cbegin(); it != scores.cend(); ++it)
        segment->score(it.key()) = it.value();
    return segment;
}

IdSegmentGroup *groupOf(const QString &text, int kind, const Scores &scores, QObject *owner)
{
    auto *group = new IdSegmentGroup(owner);
    group->add(segmentOf(text, kind, scores, owner));
    return group;
}

IdTaggingPoolItemEntry *entryWith(int strong, int weak, int rejected, QObject *owner)
{
    auto *entry = new IdTaggingPoolItemEntry(owner);
    entry->strongCount = strong;
    entry->weakCount = weak;
    entry->rejectedCount = rejected;
    return entry;
}

// The search as the straightforward description has it: classes merged by comparing every
// extension with every later one.
QList<int> referenceAssignment(const Weights &w, bool minimise)
{
    const int n = int(w.size());
    const int m = n ? int(w.first().size()) : 0;
    const auto better = [minimise](qint64 a, qint64 b) { return minimise ? a < b : a > b; };
    QList<int> rowAllowed(n), columnAllowed(m);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < m; ++c)
            if (w[r][c] != -1)
                ++rowAllowed[r], ++columnAllowed[c];
    QList<bool> rowDone(n), columnDone(m);
    for (int r = 0; r < n; ++r)
        rowDone[r] = rowAllowed[r] == 0;
    for (int c = 0; c < m; ++c)
        columnDone[c] = columnAllowed[c] == 0;
    QList<int> forced(n, -1);
    for (int r = 0; r < n; ++r) {
        if (rowAllowed[r] != 1)
            continue;
        const int c = int(std::find_if(w[r].cbegin(), w[r].cend(), [](int x) { return x != -1; }) - w[r].cbegin());
        if (columnAllowed[c] == 1)
            rowDone[r] = columnDone[c] = true, forced[r] = c;
    }
    const auto total = [&w](const QList<int> &p) {
        qint64 sum = 0;
        for (int r = 0; r < p.size(); ++r)
            if (p[r] != -1)
                sum += w[r][p[r]];
        return sum;
    };
    QList<QList<int>> current{QList<int>(n, -1)};
    for (int level = 0; level < n; ++level) {
        QList<QList<int>> ext;
        for (const QList<int> &p : current)
            for (int r = 0; r < n; ++r) {
                if (p[r] != -1 || rowDone[r])
                    continue;
                int best = -1;
                for (int c = 0; c < m; ++c)
                    if (w[r][c] != -1 && !columnDone[c] && !p.contains(c) && (best == -1 || better(w[r][c], w[r][best])))
                        best = c;
                if (best != -1) {
                    QList<int> q = p;
                    q[r] = best;
                    ext.append(q);
                }
            }
        if (ext.isEmpty())
            break;
        QList<bool> merged(ext.size());
        QList<QList<int>> next;
        for (int i = 0; i < ext.size(); ++i) {
            if (merged[i])
                continue;
            merged[i] = true;
            QList<int> rep = ext[i];
            for (int j = i + 1; j < ext.size(); ++j) {
                bool same = !merged[j];
                for (int r = 0; same && r < n; ++r)
                    same = (ext[j][r] == -1) == (ext[i][r] == -1);
                if (!same)
                    continue;
                merged[j] = true;
                if (better(total(ext[j]), total(rep)))
                    rep = ext[j];
            }
            next.append(rep);
        }
        current = next;
    }
    QList<int> chosen = current.first();
    for (const QList<int> &p : current)
        if (better(total(p), total(chosen)))
            chosen = p;
    for (int r = 0; r < n; ++r)
        if (forced[r] != -1)
            chosen[r] = forced[r];
    return chosen;
}

QList<int> assignmentOf(const IdMappingMatrix *matrix)
{
    QList<int> columns;
    for (int row = 0; row < matrix->rowCount(); ++row)
        columns.append(matrix->columnOfRow(row));
    return columns;
}
} // namespace

// The tagging pool, the mapping matrix and what the scoring steps of a run share.
class TestIdScoringBase : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpIdentificationTests(); }

    void poolKeys_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("field");
        QTest::addColumn<bool>("same");
        QTest::newRow("article in front and behind") << "The Lumens" << "Lumens, The" << 1 << true;
        QTest::newRow("album punctuation and case") << "Night & Day!" << "night day" << 2 << true;
        QTest::newRow("different artists") << "The Lumens" << "Lumen" << 1 << false;
        QTest::newRow("an album keeps its article") << "The Lumens" << "Lumens, The" << 2 << false;
    }
    void poolKeys()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, field);
        QFETCH(bool, same);
        QCOMPARE(IdTaggingPool::poolKey(a, field) == IdTaggingPool::poolKey(b, field), same);
    }

    void entryTargetScore_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("strong");
        QTest::addColumn<int>("expected");
        QTest::newRow("rejected, no strong") << -10 << 0 << 3;
        QTest::newRow("rejected, strong") << -10 << 1 << 30;
        QTest::newRow("26 strong") << 26 << 1 << 30;
        QTest::newRow("26 weak") << 26 << 0 << 29;
        QTest::newRow("27 weak") << 27 << 0 << 30;
        QTest::newRow("27 strong") << 27 << 2 << 30;
        QTest::newRow("28") << 28 << 0 << 31;
        QTest::newRow("0 weak") << 0 << 0 << 3;
    }
    void entryTargetScore()
    {
        QFETCH(int, current);
        QFETCH(int, strong);
        QFETCH(int, expected);
        QObject owner;
        QCOMPARE(entryWith(strong, 0, 0, &owner)->targetScore(current), expected);
    }

    void entryDominates_data()
    {
        QTest::addColumn<QList<int>>("mine");   // strong, weak, rejected
        QTest::addColumn<QList<int>>("theirs"); // empty for none
        QTest::addColumn<bool>("dominates");
        QTest::newRow("over none") << QList<int>{0, 0, 0} << QList<int>() << true;
        QTest::newRow("2 strong against 1") << QList<int>{2, 50, 0} << QList<int>{1, 0, 0} << false;
        QTest::newRow("3 strong against 1 and weak 30") << QList<int>{3, 0, 0} << QList<int>{1, 30, 0} << true;
        QTest::newRow("3 strong against weak 31, own 45") << QList<int>{3, 45, 0} << QList<int>{1, 31, 0} << false;
        QTest::newRow("3 strong against weak 31, own 46") << QList<int>{3, 46, 0} << QList<int>{1, 31, 0} << true;
        QTest::newRow("weak only, within 3") << QList<int>{0, 5, 0} << QList<int>{0, 2, 0} << false;
        QTest::newRow("weak only, clear") << QList<int>{0, 6, 0} << QList<int>{0, 2, 0} << true;
        QTest::newRow("rejected counts to the weak total") << QList<int>{0, 2, 4} << QList<int>{0, 2, 0} << true;
    }
    void entryDominates()
    {
        QFETCH(QList<int>, mine);
        QFETCH(QList<int>, theirs);
        QFETCH(bool, dominates);
        QObject owner;
        const IdTaggingPoolItemEntry *other =
            theirs.isEmpty() ? nullptr : entryWith(theirs.at(0), theirs.at(1), theirs.at(2), &owner);
        QCOMPARE(entryWith(mine.at(0), mine.at(1), mine.at(2), &owner)->dominates(other), dominates);
    }

    void poolCountsAndLookUp()
    {
        QObject owner;
        IdTaggingPool pool;
        pool.addGroup(groupOf("The Lumens", 2, {{1, 40}}, &owner), 1);
        pool.addGroup(groupOf("Lumens, The", 2, {{1, 10}}, &owner), 1);
        pool.addGroup(groupOf("Lumens", 2, {{1, -5}}, &owner), 1);
        pool.addGroup(groupOf("Lumens", 2, {{3, 50}}, &owner), 3); // not counted
        pool.addGroup(nullptr, 1);
        QCOMPARE(pool.entries().size(), 1);
        IdTaggingPoolItemEntry *entry = pool.entryFor(groupOf("LUMENS", 2, {}, &owner), 1);
        QVERIFY(entry);
        QCOMPARE(entry->strongCount, 1);
        QCOMPARE(entry->weakCount, 1);
        QCOMPARE(entry->rejectedCount, 1);
        QCOMPARE(entry->weakTotal(), 2);
        // The album entry of the key exists but was never counted.
        QCOMPARE(pool.entryFor(groupOf("Lumens", 2, {}, &owner), 2)->strongCount, 0);
        QVERIFY(!pool.entryFor(groupOf("Lumens", 2, {}, &owner), 3));
        QVERIFY(!pool.entryFor(groupOf("Other", 2, {}, &owner), 1));
        QVERIFY(!pool.entryFor(nullptr, 1));

        // A folder-only group looked up last leaves the rejected count out.
        QCOMPARE(pool.entryFor(groupOf("Lumens", 0, {}, &owner), 1), entry);
        QCOMPARE(entry->weakTotal(), 1);
        pool.entryFor(groupOf("Lumens", 1, {}, &owner), 1);
        QCOMPARE(entry->weakTotal(), 2);
    }

    void poolBestGroup()
    {
        QObject owner;
        IdTaggingPool pool;
        for (int i = 0; i < 2; ++i)
            pool.addGroup(groupOf("Alpha", 2, {{1, 10}}, &owner), 1);
        for (int i = 0; i < 2; ++i)
            pool.addGroup(groupOf("Bravo", 2, {{1, 10}}, &owner), 1);
        pool.addGroup(groupOf("Charlie", 2, {{1, 40}}, &owner), 1);
        IdSegmentGroup *unknown = groupOf("Delta", 2, {}, &owner);
        IdSegmentGroup *alpha = groupOf("Alpha", 1, {}, &owner);
        IdSegmentGroup *bravo = groupOf("Bravo", 1, {}, &owner);
        IdSegmentGroup *charlie = groupOf("Charlie", 0, {}, &owner);
        QCOMPARE(pool.bestGroup({unknown}, 1, false).group, nullptr);
        QCOMPARE(pool.bestGroup({unknown, alpha, bravo}, 1, false).group, alpha); // the earlier on a tie
        QCOMPARE(pool.bestGroup({alpha, bravo, charlie}, 1, false).group, charlie);
        QCOMPARE(pool.bestGroup({alpha, bravo, charlie}, 1, true).group, alpha); // folder-only skipped
    }

    void poolRaisesAgreedGroups_data()
    {
        QTest::addColumn<int>("kind");        // of the candidate group "Lumens"
        QTest::addColumn<QList<int>>("files"); // files that chose Lumens as artist strongly, weakly;
                                               // Lumens as album strongly; Song as artist strongly
        QTest::addColumn<int>("score");       // the candidate's own artist score
        QTest::addColumn<int>("titleScore");
        QTest::addColumn<int>("songScore");   // the artist score of the other group, "Song"
        QTest::addColumn<bool>("raised");
        QTest::addColumn<int>("expected");    // the candidate's artist score afterwards
        using F = QList<int>;
        QTest::newRow("never counted") << 1 << F{0, 0, 0, 0} << 5 << 0 << 0 << false << 5;
        QTest::newRow("strong agreement") << 1 << F{3, 0, 0, 0} << 5 << 0 << 0 << true << 30;
        QTest::newRow("weak agreement") << 1 << F{0, 4, 0, 0} << 5 << 0 << 0 << true << 8;
        QTest::newRow("too few weak") << 1 << F{0, 3, 0, 0} << 5 << 0 << 0 << false << 5;
        QTest::newRow("title evidence as strong") << 1 << F{2, 0, 0, 0} << 5 << 40 << 0 << false << 5;
        QTest::newRow("folder only, capped") << 0 << F{3, 0, 0, 0} << 5 << 0 << 0 << true << 15;
        QTest::newRow("counted as album too") << 1 << F{3, 0, 2, 0} << 5 << 0 << 0 << false << 5;
        QTest::newRow("beats an uncounted top") << 1 << F{1, 0, 0, 0} << 5 << 0 << 20 << true << 30;
        QTest::newRow("dominates the top") << 1 << F{3, 0, 0, 1} << 5 << 0 << 20 << true << 30;
        QTest::newRow("does not dominate the top") << 1 << F{3, 0, 0, 2} << 5 << 0 << 20 << false << 5;
    }
    void poolRaisesAgreedGroups()
    {
        QFETCH(int, kind);
        QFETCH(QList<int>, files);
        QFETCH(int, score);
        QFETCH(int, titleScore);
        QFETCH(int, songScore);
        QFETCH(bool, raised);
        QFETCH(int, expected);
        QObject owner;
        IdTaggingPool pool;
        const auto count = [&](int times, const QString &text, int field, int groupScore) {
            for (int i = 0; i < times; ++i)
                pool.addGroup(groupOf(text, 2, {{field, groupScore}}, &owner), field);
        };
        count(files.at(0), "Lumens", 1, 40);
        count(files.at(1), "Lumens", 1, 10);
        count(files.at(2), "Lumens", 2, 40);
        count(files.at(3), "Song", 1, 40);
        IdSegmentGroup *group = groupOf("Lumens", kind, {{1, score}, {3, titleScore}}, &owner);
        IdSegmentGroup *other = groupOf("Song", 1, {{1, songScore}}, &owner);
        QCOMPARE(pool.applyToGroups({other, group}, 1, false), raised);
        QCOMPARE(group->score(1), expected);
        QCOMPARE(other->score(1), songScore);
        if (kind == 1)
            QCOMPARE(group->segments().first()->preferred, raised);
    }

    // With little sharing the artist is looked at again after the album was raised: an
    // artist raised the first time must not fall back below its target.
    void poolSecondArtistRaiseKeepsTheFirst()
    {
        QObject owner;
        IdTaggingPool pool;
        for (int i = 0; i < 3; ++i) {
            pool.addGroup(groupOf("Lumens", 2, {{1, 40}}, &owner), 1);
            pool.addGroup(groupOf("Night Songs", 2, {{2, 40}}, &owner), 2);
        }
        IdSegmentGroup *artist = groupOf("Lumens", 1, {{1, 5}, {2, -10}}, &owner);
        IdSegmentGroup *album = groupOf("Night Songs", 1, {{1, -10}, {2, 5}}, &owner);
        pool.apply({artist, album}, true, true);
        QCOMPARE(artist->score(1), 33); // raised to 30, then 3 more
        QCOMPARE(album->score(2), 30);
        pool.apply({}, true, true);
    }

    void matrixSearch_data()
    {
        QTest::addColumn<Weights>("weights");
        QTest::addColumn<bool>("minimise");
        QTest::addColumn<QList<int>>("columns"); // per row, -1 unmapped
        QTest::newRow("the better of two orders")
            << Weights{{60, 40}, {55, 10}} << false << QList<int>{1, 0};
        QTest::newRow("minimising") << Weights{{60, 40}, {55, 10}} << true << QList<int>{0, 1};
        QTest::newRow("equal totals keep the first class")
            << Weights{{10, 10}, {10, 10}} << false << QList<int>{0, 1};
        QTest::newRow("forced pair outside the search")
            << Weights{{-1, 90, -1}, {50, -1, 40}, {60, -1, 10}} << false << QList<int>{1, 2, 0};
        QTest::newRow("row without allowed cells")
            << Weights{{-1, -1}, {5, 7}} << false << QList<int>{-1, 1};
        QTest::newRow("no column left") << Weights{{5, -1}, {9, -1}} << false << QList<int>{-1, 0};
        QTest::newRow("short row") << Weights{{1, 2, 3}, {4}} << false << QList<int>{2, 0};
        QTest::newRow("empty") << Weights{} << false << QList<int>{};
        QTest::newRow("no columns") << Weights{{}, {}} << false << QList<int>{-1, -1};
    }
    void matrixSearch()
    {
        QFETCH(Weights, weights);
        QFETCH(bool, minimise);
        QFETCH(QList<int>, columns);
        QObject owner;
        IdMappingMatrix *matrix = IdMappingMatrix::fromWeights(weights, minimise, &owner);
        QCOMPARE(matrix->parent(), &owner);
        QCOMPARE(matrix->rowCount(), int(weights.size()));
        QCOMPARE(assignmentOf(matrix), columns);
        QCOMPARE(matrix->setCount(), int(std::count_if(columns.cbegin(), columns.cend(), [](int c) { return c >= 0; })));
    }

    void matrixSetCount()
    {
        IdMappingMatrix matrix(2, 3);
        matrix.set(0, 1, true);
        matrix.set(0, 1, true);
        QCOMPARE(matrix.setCount(), 1);
        matrix.set(1, 1, false);
        matrix.set(5, 0, true);
        matrix.set(-1, 0, true);
        QCOMPARE(matrix.setCount(), 1);
        QVERIFY(!matrix.isSet(9, 9));
        matrix.set(0, 1, false);
        QCOMPARE(matrix.setCount(), 0);
    }

    // The merge by row masks gives what comparing every pair of extensions gives.
    void matrixMergeEqualsPairwise()
    {
        QRandomGenerator random(28);
        QObject owner;
        for (int round = 0; round < 300; ++round) {
            const int n = 1 + random.bounded(8);
            const int m = 1 + random.bounded(10);
            Weights weights(n, QList<int>(m));
            for (QList<int> &row : weights) {
                for (int &cell : row)
                    cell = random.bounded(4) == 0 ? -1 : random.bounded(6) * 20; // many ties
            }
            const bool minimise = round % 5 == 0;
            QCOMPARE(assignmentOf(IdMappingMatrix::fromWeights(weights, minimise, &owner)),
                     referenceAssignment(weights, minimise));
        }
    }

    void poolWeight_data()
    {
        QTest::addColumn<int>("sharing");
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("weight");
        QTest::newRow("10 files sharing everything") << 100 << 10 << 1000;
        QTest::newRow("10 files, 50") << 50 << 10 << 910;
        QTest::newRow("20 files, 50") << 50 << 20 << 640;
        QTest::newRow("40 files, 50: never negative") << 50 << 40 << 0;
        QTest::newRow("no files") << 0 << 0 << 1000;
        QTest::newRow("huge count") << 0 << 2000000000 << 0;
    }
    void poolWeight()
    {
        QFETCH(int, sharing);
        QFETCH(int, files);
        QFETCH(int, weight);
        QCOMPARE(computePoolWeight(sharing, files), weight);
    }

    void sharingValue_data()
    {
        QTest::addColumn<QList<int>>("nameSegments"); // base-name segments per file
        QTest::addColumn<QList<int>>("groupSizes");   // largest word group size per file
        QTest::addColumn<int>("fileCount");
        QTest::addColumn<int>("sharing");
        QTest::newRow("no files") << QList<int>() << QList<int>() << 0 << 0;
        QTest::newRow("one file, nothing shared") << QList<int>{2} << QList<int>{1} << 1 << 100;
        QTest::newRow("three of four with few segments") << QList<int>{1, 0, 1, 2} << QList<int>{1, 1, 1, 1} << 4 << 100;
        QTest::newRow("mean group size") << QList<int>{2, 2, 2, 1} << QList<int>{2, 2, 2, 1} << 4 << 43;
        QTest::newRow("capped") << QList<int>{2, 2} << QList<int>{9, 9} << 2 << 100;
    }
    void sharingValue()
    {
        QFETCH(QList<int>, nameSegments);
        QFETCH(QList<int>, groupSizes);
        QFETCH(int, fileCount);
        QFETCH(int, sharing);
        QObject owner;
        QList<IdAudioFile *> files;
        for (qsizetype i = 0; i < nameSegments.size(); ++i) {
            IdAudioFile *file = idFiles({"Alpha Bravo"}, &owner).first();
            IdString *name = file->stringList(1)->strings().first();
            const QList<IdWord *> words = name->words();
            words.at(2)->groupSize = groupSizes.at(i);
            QList<IdSegment *> segments;
            for (int k = 0; k < nameSegments.at(i); ++k)
                segments.append(new IdSegment(name, {words.at(2 * k)}, file));
            file->setSegments(segments);
            files.append(file);
        }
        QCOMPARE(computeSharingValue(files, fileCount), sharing);
    }
};

QTEST_GUILESS_MAIN(TestIdScoringBase)
#include "tst_idscoringbase.moc"
