#include <QtTest>

#include "app/identification/idartistname.h"
#include "app/identification/idaudiofile.h"
#include "app/identification/idfieldmapping.h"
#include "app/identification/idinterpretationresult.h"
#include "app/identification/idscoringcontext.h"
#include "app/identification/idsegment.h"
#include "app/identification/idsegmentgroup.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idtaggingpool.h"
#include "app/identification/idtracknumbergroup.h"
#include "app/identification/idword.h"

#include "support_identification.h"

namespace {
// A file whose base name is cut into one segment per part ("|" between parts), each part in
// a group of its own with the scores given ("field:score" joined by ',').
IdAudioFile *fileWithGroups(const QString &parts, const QStringList &scores, QObject *owner)
{
    const QStringList texts = parts.split(u'|');
    IdAudioFile *file = idFiles({texts.join(QString())}, owner, {}, "/").first();
    IdString *string = file->stringList(1)->strings().first();
    const QList<IdWord *> words = string->words();
    QList<IdSegment *> segments;
    QList<IdSegmentGroup *> groups;
    qsizetype word = 0;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        QList<IdWord *> own;
        QString text;
        while (text != texts.at(i) && word < words.size()) {
            own.append(words.at(word));
            text += words.at(word++)->text();
        }
        auto *segment = new IdSegment(string, own, file);
        for (const QString &entry : scores.value(i).split(u',', Qt::SkipEmptyParts))
            segment->score(entry.section(u':', 0, 0).toInt()) = entry.section(u':', 1).toInt();
        auto *group = new IdSegmentGroup(file);
        group->add(segment);
        segments.append(segment);
        groups.append(group);
    }
    file->setSegments(segments);
    file->setSegmentGroups(groups);
    return file;
}

// "field=value@confidence" for every identified value, ascending.
QString describeValues(const IdAudioFile *file)
{
    QStringList result;
    for (auto it = file->values().cbegin(); it != file->values().cend(); ++it) {
        const QString value = it.key() == IdField::Artist ? IdArtistName::fromVariant(it.value()).toString(false)
                                                          : it.value().toString();
        const int confidence = file->valueConfidences().value(it.key());
        result.append(QStringLiteral("%1=%2@%3").arg(it.key()).arg(value).arg(confidence));
    }
    return result.join(u';');
}

void secondPass(IdAudioFile *file)
{
    IdScoringContext context;
    context.file = file;
    context.firstPass = false;
    mapFieldsToGroups(context);
}
} // namespace

// The last scoring step: fields to segment groups, values and their corrections.
class TestIdFieldMapping : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpIdentificationTests(); }

    void values_data()
    {
        QTest::addColumn<QString>("parts");
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<QString>("expected");
        QTest::newRow("strong artist, weak title")
            << "Lumens - |Amber" << QStringList{"1:40,3:-20", "1:-20,3:20"} << "1=Lumens@3;3=Amber@2";
        QTest::newRow("-3 still takes a field") << "Amber" << QStringList{"3:-3"} << "3=Amber@1";
        QTest::newRow("-4 loses to no group") << "Amber" << QStringList{"3:-4"} << QString();
        QTest::newRow("the largest total, not the best single cell")
            << "Lumens - |Amber" << QStringList{"1:40,3:35", "1:30,3:10"} << "1=Amber@3;3=Lumens@3";
        QTest::newRow("a number field needs a number")
            << "Amber - |7" << QStringList{"4:40,3:-50", "4:45,3:-50"} << "4=7@3";
        QTest::newRow("105 is disc 1, track 5") << "105" << QStringList{"4:40"} << "4=5@3;6=1@0";
        QTest::newRow("105 with a disc of its own")
            << "2 |105" << QStringList{"6:40,4:-50", "4:40,6:-50"} << "4=5@3;6=2@3";
        QTest::newRow("100 stays") << "100" << QStringList{"4:40"} << "4=100@3";
        QTest::newRow("200 stays") << "200" << QStringList{"4:40"} << "4=200@3";
        QTest::newRow("album equal to the artist stays")
            << "Lumens - |Lumens" << QStringList{"1:40,2:-50", "1:-50,2:10"} << "1=Lumens@3;2=Lumens@2";
        QTest::newRow("album resembling a strong artist goes")
            << "Lumens - |Lumen" << QStringList{"1:40,2:-50", "1:-50,2:10"} << "1=Lumens@3";
        QTest::newRow("album resembling a weak artist stays")
            << "Lumens - |Lumen" << QStringList{"1:20,2:-50", "1:-50,2:10"} << "1=Lumens@2;2=Lumen@2";
        QTest::newRow("strong album stays")
            << "Lumens - |Lumen" << QStringList{"1:40,2:-50", "1:-50,2:30"} << "1=Lumens@3;2=Lumen@3";
        QTest::newRow("little shared album beside strong artist and title goes")
            << "Lumens - |Quiet - |Amber" << QStringList{"1:40,2:-50,3:-50", "1:-50,2:10,3:-50", "1:-50,2:-50,3:40"}
            << "1=Lumens@3;3=Amber@3";
    }
    void values()
    {
        QFETCH(QString, parts);
        QFETCH(QStringList, scores);
        QFETCH(QString, expected);
        QObject owner;
        IdAudioFile *file = fileWithGroups(parts, scores, &owner);
        secondPass(file);
        QCOMPARE(describeValues(file), expected);
        QVERIFY(file->results().isEmpty()); // only the first pass keeps its results
    }

    void trackCountFromTheTrackNumbers_data()
    {
        QTest::addColumn<QString>("count"); // a count in the file name, or none
        QTest::addColumn<bool>("grouped");  // the file has segment groups
        QTest::addColumn<QString>("expected");
        QTest::newRow("no segment groups") << "12" << false << "5=11@0";
        QTest::newRow("a higher count stays") << "12" << true << "5=12@3";
        QTest::newRow("a lower count is replaced") << "9" << true << "5=11@0";
    }
    void trackCountFromTheTrackNumbers()
    {
        // The file's number word is one of a track-number sequence that runs up to 11.
        QFETCH(QString, count);
        QFETCH(bool, grouped);
        QFETCH(QString, expected);
        QObject owner;
        IdAudioFile *file = fileWithGroups(count, {"5:40"}, &owner);
        IdSegment *segment = file->segments().first();
        IdTrackNumberGroup group(&owner);
        group.addEntry(new IdTrackNumberGroupEntry(segment->words().first(), 3));
        group.addEntry(new IdTrackNumberGroupEntry(segment->words().first(), 11));
        segment->group = &group;
        if (!grouped)
            file->setSegmentGroups({});
        secondPass(file);
        QCOMPARE(describeValues(file), expected);
    }

    void theFirstPassCountsAndKeepsTheResults()
    {
        QObject owner;
        IdAudioFile *file = fileWithGroups("Lumens - |Quiet Hours", {"1:40,2:-50", "1:-50,2:20"}, &owner);
        IdTaggingPool pool;
        IdScoringContext context;
        context.file = file;
        context.pool = &pool;
        mapFieldsToGroups(context);
        QVERIFY(file->values().isEmpty());
        QCOMPARE(file->results().keys(), (QList<int>{1, 2}));
        for (const IdInterpretationResult *result : file->results())
            QCOMPARE(result->parent(), file);
        QCOMPARE(file->results().value(2)->value().toString(), QStringLiteral("Quiet Hours"));
        const IdTaggingPoolItemEntry *artist = pool.entryFor(file->segmentGroups().at(0), 1);
        const IdTaggingPoolItemEntry *album = pool.entryFor(file->segmentGroups().at(1), 2);
        QVERIFY(artist && album);
        QCOMPARE(artist->strongCount, 1);
        QCOMPARE(album->weakCount, 1);
    }
};

QTEST_GUILESS_MAIN(TestIdFieldMapping)
#include "tst_idfieldmapping.moc"
