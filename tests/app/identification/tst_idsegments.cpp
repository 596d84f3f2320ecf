#include <QtTest>

#include "app/identification/idaudiofile.h"
#include "app/identification/iddefaultgroup.h"
#include "app/identification/idsegment.h"
#include "app/identification/idsegmentgroup.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idword.h"
#include "libcore/log/bufferedlogger.h"
#include "libtagging/model/tagitem.h"

#include "support_identification.h"

namespace {
IdString *stringOf(const IdAudioFile *file, int kind, int index = 0)
{
    return file->stringList(kind)->strings().at(index);
}

// A segment over all words of the string.
IdSegment *wholeSegment(IdString *string, QObject *owner)
{
    return new IdSegment(string, string->words(), owner);
}
} // namespace

// Segments of strings and the segment groups of one file.
class TestIdSegments : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpIdentificationTests(); }

    void fieldsOfItemTypes()
    {
        const QHash<int, int> &fields = identificationFieldByItemType();
        QCOMPARE(fields.size(), 10);
        QCOMPARE(fields.value(int(TagItemType::Artist)), 1);
        QCOMPARE(fields.value(int(TagItemType::ArtistSortName)), 1);
        QCOMPARE(fields.value(int(TagItemType::TrackNumber)), 4);
        QVERIFY(!fields.contains(int(TagItemType::AlbumArtist)));
        QVERIFY(!fields.contains(int(TagItemType::Genre)));
    }

    void segmentTakesOverItsWordsMarks()
    {
        QObject owner;
        const QList<IdAudioFile *> files = idFiles({"Alpha Bravo Charlie"}, &owner);
        IdString *string = stringOf(files.first(), 1);
        const QList<IdWord *> words = string->words(); // Alpha, ' ', Bravo, ' ', Charlie
        IdDefaultGroup first(&owner);
        IdDefaultGroup second(&owner);
        words.at(0)->group = &first;
        words.at(2)->group = &second;
        words.at(4)->group = &second;
        words.at(0)->groupSize = 5;
        words.at(2)->groupSize = 3;
        words.at(1)->groupSize = 1; // a separator does not count
        BufferedLogger log;
        IdSegment segment(string, words, &owner);
        QCOMPARE(segment.group, &first);
        QCOMPARE(log.messages().size(), 2); // once per word of the other group
        QCOMPARE(segment.groupSize, 1);     // Charlie was never grouped
        QCOMPARE(segment.boundary, 1u);
        QCOMPARE(segment.category, 1);
        QCOMPARE(segment.text(), QStringLiteral("Alpha Bravo Charlie"));
        QCOMPARE(segment.sourceKind(), 1);
        QCOMPARE(segment.groupType(), 1);

        IdSegment two(string, words.mid(0, 3), &owner);
        QCOMPARE(two.groupSize, 3);
    }

    void scores()
    {
        QObject owner;
        const QList<IdAudioFile *> files = idFiles({"Alpha"}, &owner);
        IdSegment *segment = wholeSegment(stringOf(files.first(), 1), &owner);
        segment->setAll(-20);
        QCOMPARE(segment->score(3), -20);
        segment->addToAll(5);
        QCOMPARE(segment->score(3), -15);
        QCOMPARE(segment->baseScore(), -15);
        QCOMPARE(segment->scores().keys(), QList<int>{3});
        segment->markPreferredField(2);
        QVERIFY(segment->preferred);
        segment->reset();
        QVERIFY(segment->scores().isEmpty() && !segment->preferred);
        QCOMPARE(segment->preferredField, 2);

        IdSegment *folder = wholeSegment(stringOf(files.first(), 0), &owner);
        folder->markPreferredField(2);
        QVERIFY(!folder->preferred);
    }

    void groupScores()
    {
        QObject owner;
        const QList<IdAudioFile *> files = idFiles({"Alpha"}, &owner, {{"Alpha", "Alpha", "Alpha"}});
        IdSegmentGroup group(&owner);
        const QList<int> titleScores{10, 20, 5};
        for (int i = 0; i < 3; ++i) {
            IdSegment *segment = wholeSegment(stringOf(files.first(), 2, i), &owner);
            segment->setAll(-1);
            segment->score(3) = titleScores.at(i);
            group.add(segment);
        }
        QCOMPARE(group.score(3), 37);
        QCOMPARE(group.classify(3), 3);
        QCOMPARE(group.score(2), 2 - 3); // never entered: the base scores
        group.setAdjustment(3, -40);
        QCOMPARE(group.score(3), -3);
        QCOMPARE(group.classify(3), 1);
        group.segments().first()->score(3) = 50;
        QCOMPARE(group.score(3), 37);
    }

    void admission()
    {
        QObject owner;
        const QList<IdAudioFile *> files = idFiles({"Lumens"}, &owner, {{"Lumens", "Lumens"}});
        IdAudioFile *file = files.first();
        IdSegment *name = wholeSegment(stringOf(file, 1), &owner);
        IdSegment *artist = wholeSegment(stringOf(file, 2, 0), &owner);
        IdSegment *otherArtist = wholeSegment(stringOf(file, 2, 1), &owner);

        IdSegmentGroup group(&owner);
        QVERIFY(group.accepts(name, true));
        group.add(name);
        QVERIFY(!group.accepts(wholeSegment(stringOf(file, 1), &owner), false)); // the base name once
        QVERIFY(group.accepts(artist, false));
        group.add(artist);
        QVERIFY(group.accepts(otherArtist, false)); // another artist value
        QVERIFY(!group.accepts(wholeSegment(stringOf(file, 2, 0), &owner), false)); // the same one

        // A strong title is no company for a folder name.
        IdSegmentGroup folderGroup(&owner);
        folderGroup.add(wholeSegment(stringOf(file, 0), &owner));
        IdSegment *title = wholeSegment(stringOf(file, 1), &owner);
        title->score(3) = 45;
        QVERIFY(!folderGroup.accepts(title, false));
    }

    void textComesFromTags()
    {
        QObject owner;
        const QList<IdAudioFile *> files = idFiles({"Lumens"}, &owner, {{"Lumens"}}, "/music/Lumens");
        IdAudioFile *file = files.first();
        IdSegmentGroup group(&owner);
        group.add(wholeSegment(stringOf(file, 0), &owner));
        group.add(wholeSegment(stringOf(file, 2), &owner));
        QCOMPARE(group.text(), QStringLiteral("Lumens"));
        QCOMPARE(group.segments().at(1)->sourceKind(), 2);
        QVERIFY(!group.resemblesText("Lumens"));
        QVERIFY(group.resemblesText("Lumenz"));
    }

    void linking()
    {
        QObject owner;
        const QList<IdAudioFile *> files = idFiles({"Alpha Bravo"}, &owner);
        IdString *string = stringOf(files.first(), 1);
        const QList<IdWord *> words = string->words();
        IdSegmentGroup first(&owner);
        IdSegmentGroup second(&owner);
        IdSegmentGroup empty(&owner);
        IdSegment *alpha = new IdSegment(string, words.mid(0, 2), &owner);
        IdSegment *bravo = new IdSegment(string, words.mid(2), &owner);
        alpha->score(1) = 40;
        bravo->score(1) = 40;
        first.add(alpha);
        second.add(bravo);
        QVERIFY(!first.tryMerge(&empty));
        QVERIFY(!second.tryMerge(&first)); // Alpha does not follow Bravo
        QVERIFY(first.tryMerge(&second));
        QCOMPARE(first.next(), &second);
        QVERIFY(!first.tryMerge(&second));
        QCOMPARE(first.text(), QStringLiteral("Alpha Bravo"));
    }
};

QTEST_GUILESS_MAIN(TestIdSegments)
#include "tst_idsegments.moc"
