#include <QtTest>

#include "app/identification/idaudiofile.h"
#include "app/identification/idscoringcontext.h"
#include "app/identification/idsegment.h"
#include "app/identification/idsegmentgroup.h"
#include "app/identification/idsegmentgroupsteps.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idtexttests.h"
#include "libtagging/model/tagitem.h"

#include "support_identification.h"
#include "support_idscoring.h"

namespace {
IdAudioFile *segmentedFile(const QString &path, const QMap<int, QStringList> &values, QObject *owner)
{
    auto *file = idTaggedFile(path, values, owner);
    segmentIdFiles({file}, owner);
    return file;
}

IdSegment *segmentOf(const IdAudioFile *file, int kind, int index = 0)
{
    int n = 0;
    for (IdSegment *s : file->segments()) {
        if (s->sourceKind() == kind && n++ == index)
            return s;
    }
    return nullptr;
}

// The texts of each group's segments, '+' between them.
QStringList groupTexts(const IdAudioFile *file)
{
    QStringList result;
    for (const IdSegmentGroup *group : file->segmentGroups()) {
        QStringList texts;
        for (const IdSegment *s : group->segments())
            texts.append(trimSpacesAndDashes(s->text()));
        result.append(texts.join(u'+'));
    }
    return result;
}
} // namespace

// The scoring steps that build, score and merge a file's segment groups.
class TestIdGroupSteps : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpIdentificationTests(); }

    void segmentsSayingTheSameThingShareAGroup()
    {
        QObject owner;
        const QMap<int, QStringList> tags{{int(TagItemType::Artist), {"Lumens"}},
                                          {int(TagItemType::Title), {"Amber"}}};
        IdAudioFile *file = segmentedFile("/Lumens/Quiet Hours/Lumens - Amber.mp3", tags, &owner);
        IdScoringContext context;
        context.file = file;
        buildSegmentGroups(context);
        // Base name first, then the folders (the farthest first), then the tags.
        QCOMPARE(groupTexts(file), (QStringList{"Lumens+Lumens+Lumens", "Amber+Amber", "Quiet Hours"}));
        for (IdSegmentGroup *group : file->segmentGroups()) {
            QCOMPARE(group->parent(), file);
            for (const IdSegment *s : group->segments())
                QCOMPARE(s->segmentGroup, group);
        }

        // Built afresh: a second run gives the same groups.
        for (IdSegment *s : file->segments())
            s->reset();
        buildSegmentGroups(context);
        QCOMPARE(groupTexts(file), (QStringList{"Lumens+Lumens+Lumens", "Amber+Amber", "Quiet Hours"}));
    }

    void aWidelySharedSegmentStaysOutOfTheOnlyTitle()
    {
        QObject owner;
        IdAudioFile *file = segmentedFile("/Amber.mp3", {{int(TagItemType::Title), {"Amber"}}}, &owner);
        segmentOf(file, 1)->score(IdField::Title) = 10;
        IdSegment *tag = segmentOf(file, 4);
        IdScoringContext context;
        context.file = file;
        buildSegmentGroups(context);
        QCOMPARE(groupTexts(file), QStringList{"Amber+Amber"});

        for (IdSegment *s : file->segments())
            s->reset();
        segmentOf(file, 1)->score(IdField::Title) = 10;
        tag->groupSize = 5;
        buildSegmentGroups(context);
        QCOMPARE(groupTexts(file), (QStringList{"Amber", "Amber"}));
    }

    void titleGroupBonus_data()
    {
        QTest::addColumn<QList<int>>("groupSizes"); // of the parts of "Amber - Birch - Cedar"
        QTest::addColumn<QList<int>>("titleScores");
        QTest::newRow("one least shared part") << QList<int>{5, 1, 9} << QList<int>{0, 40, 0};
        QTest::newRow("first on a tie, next too close") << QList<int>{2, 2, 9} << QList<int>{0, 0, 0};
        QTest::newRow("two against three is too close") << QList<int>{2, 3, 9} << QList<int>{0, 0, 0};
        QTest::newRow("two against four") << QList<int>{2, 4, 9} << QList<int>{40, 0, 0};
        QTest::newRow("three against six") << QList<int>{3, 6, 9} << QList<int>{18, 0, 0};
        QTest::newRow("three against twelve is capped") << QList<int>{3, 12, 12} << QList<int>{40, 0, 0};
        QTest::newRow("three against five") << QList<int>{3, 5, 9} << QList<int>{0, 0, 0};
        QTest::newRow("four against seven") << QList<int>{4, 7, 9} << QList<int>{27, 0, 0};
        QTest::newRow("four against thirteen") << QList<int>{4, 13, 13} << QList<int>{43, 0, 0};
        QTest::newRow("five is too shared") << QList<int>{5, 9, 9} << QList<int>{0, 0, 0};
    }
    void titleGroupBonus()
    {
        QFETCH(QList<int>, groupSizes);
        QFETCH(QList<int>, titleScores);
        QObject owner;
        IdAudioFile *file = segmentedFile("/Amber - Birch - Cedar.mp3", {}, &owner);
        QCOMPARE(file->segments().size(), 3);
        for (int i = 0; i < 3; ++i)
            file->segments().at(i)->groupSize = groupSizes.at(i);
        IdScoringContext context;
        context.file = file;
        buildSegmentGroups(context);
        applyTitleGroupEvidence(context);
        QList<int> scores;
        for (const IdSegment *s : file->segments()) {
            scores.append(s->fieldScore(IdField::Title));
            QCOMPARE(s->preferred, s->fieldScore(IdField::Title) != 0);
        }
        QCOMPARE(scores, titleScores);
    }

    void aSingleTitleOfThree()
    {
        // Without a second candidate a part shared by three files is a title all the same.
        QObject owner;
        IdAudioFile *file = segmentedFile("/Amber.mp3", {}, &owner);
        file->segments().first()->groupSize = 3;
        IdScoringContext context;
        context.file = file;
        buildSegmentGroups(context);
        applyTitleGroupEvidence(context);
        QCOMPARE(file->segments().first()->fieldScore(IdField::Title), 40);
    }

    void consultingThePoolWaitsForTheSecondPass()
    {
        QObject owner;
        IdAudioFile *file = segmentedFile("/Amber.mp3", {}, &owner);
        IdScoringContext context;
        context.file = file; // no pool: the first pass must not touch it
        buildSegmentGroups(context);
        consultTaggingPool(context);
        QCOMPARE(file->segmentGroups().first()->score(IdField::Artist), 0);
    }

    void neighboursThatAgreeAreLinked()
    {
        QObject owner;
        IdAudioFile *file = segmentedFile("/Amber Birch.mp3", {{int(TagItemType::Album), {"Cedar"}}}, &owner);
        IdString *string = file->stringList(1)->strings().first();
        const QList<IdWord *> words = string->words(); // Amber, ' ', Birch
        auto *first = new IdSegment(string, words.mid(0, 2), file);
        auto *second = new IdSegment(string, words.mid(2), file);
        file->setSegments({first, second, segmentOf(file, 3)});
        first->score(IdField::Title) = 40;
        second->score(IdField::Title) = 40;
        IdScoringContext context;
        context.file = file;
        buildSegmentGroups(context);
        QCOMPARE(file->segmentGroups().size(), 3);
        IdSegmentGroup *taker = file->segmentGroups().first();
        IdSegmentGroup *taken = file->segmentGroups().at(1);
        mergeLinkedSegmentGroups(context);
        QCOMPARE(file->segmentGroups().size(), 2);
        QCOMPARE(file->segmentGroups().first(), taker);
        QCOMPARE(taker->next(), taken);
        QCOMPARE(taker->text(), QStringLiteral("Amber Birch"));
        QCOMPARE(file->segmentGroups().last()->segments().first()->sourceKind(), 3);

        // Nothing links any more: nothing is removed.
        mergeLinkedSegmentGroups(context);
        QCOMPARE(file->segmentGroups().size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestIdGroupSteps)
#include "tst_idgroupsteps.moc"
