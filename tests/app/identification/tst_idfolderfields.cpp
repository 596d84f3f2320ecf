#include <QtTest>

#include "app/identification/idaudiofile.h"
#include "app/identification/identificationtextids.h"
#include "app/identification/idfolderlevelsteps.h"
#include "app/identification/idscoringcontext.h"
#include "app/identification/idsegment.h"
#include "app/identification/idtexttests.h"
#include "app/identification/idtracknumbergroup.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "libcore/log/bufferedlogger.h"
#include "libtagging/model/tagitem.h"

#include "support_identification.h"
#include "support_idscoring.h"

namespace {
// The files' segments after stages 2 and 3, every file at the path with the artist values.
QList<IdAudioFile *> segmentedFiles(const QStringList &paths, const QStringList &artists, QObject *owner)
{
    QList<IdAudioFile *> files;
    for (const QString &path : paths) {
        QMap<int, QStringList> values;
        if (!artists.isEmpty())
            values.insert(int(TagItemType::Artist), artists);
        files.append(idTaggedFile(path, values, owner));
    }
    segmentIdFiles(files, owner);
    return files;
}

QList<IdSegment *> segmentsOfKind(const IdAudioFile *file, int kind)
{
    QList<IdSegment *> result;
    for (IdSegment *s : file->segments()) {
        if (s->sourceKind() == kind)
            result.append(s);
    }
    return result;
}

// "text:artist/album" for every folder-name segment, nearest folder first.
QStringList folderScores(const IdAudioFile *file)
{
    QStringList result;
    for (const IdSegment *s : segmentsOfKind(file, 0)) {
        result.append(QStringLiteral("%1:%2/%3")
                          .arg(s->text().trimmed())
                          .arg(s->fieldScore(IdField::Artist))
                          .arg(s->fieldScore(IdField::Album)));
    }
    return result;
}
} // namespace

// The folder-level step and the step that gives the parts of the file base name their fields.
class TestIdFolderFields : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpIdentificationTests(); }

    void folderLevels_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("artists");
        QTest::addColumn<bool>("multipleArtists");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("nothing matches: album folder, artist folder, a level above")
            << "/Collection/Lumens/Quiet Hours/Amber.mp3" << QStringList() << false
            << QStringList{"Quiet Hours:0/1", "Lumens:1/0", "Collection:-30/-30"};
        QTest::newRow("artist folder matches the tag and the file name")
            << "/Collection/Lumens/Quiet Hours/Lumens - Amber.mp3" << QStringList{"Lumens"} << false
            << QStringList{"Quiet Hours:0/33", "Lumens:33/0", "Collection:-30/-30"};
        QTest::newRow("three matches")
            << "/Collection/Lumens/Quiet Hours/Lumens - Amber Lumens.mp3" << QStringList{"Lumens", "Lumens"}
            << false << QStringList{"Quiet Hours:0/30", "Lumens:30/0", "Collection:-30/-30"};
        QTest::newRow("several artists: never the artist")
            << "/Collection/Lumens/Quiet Hours/Lumens - Amber.mp3" << QStringList{"Lumens"} << true
            << QStringList{"Quiet Hours:0/0", "Lumens:0/1", "Collection:-30/-30"};
        QTest::newRow("several artists, nothing matches")
            << "/Lumens/Quiet Hours/Amber.mp3" << QStringList() << true
            << QStringList{"Quiet Hours:0/1", "Lumens:-30/-30"};
        QTest::newRow("one folder, matched once") << "/Lumens/Amber.mp3" << QStringList{"Lumens"} << false
                                                  << QStringList{"Lumens:1/0"};
        QTest::newRow("one folder of two parts")
            << "/Lumens - Quiet Hours/Amber.mp3" << QStringList() << false
            << QStringList{"Lumens:1/0", "Quiet Hours:0/1"};
    }
    void folderLevels()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, artists);
        QFETCH(bool, multipleArtists);
        QFETCH(QStringList, expected);
        QObject owner;
        IdAudioFile *file = segmentedFiles({path}, artists, &owner).first();
        IdScoringContext context;
        context.file = file;
        context.multipleArtists = multipleArtists;
        applyFolderLevelEvidence(context);
        QCOMPARE(folderScores(file), expected);
    }

    void aFolderBeyondThreeLevelsEndsTheStep()
    {
        QObject owner;
        IdAudioFile *file = segmentedFiles({"/Lumens/Quiet Hours/Amber.mp3"}, {}, &owner).first();
        IdStringList deeper({"One", "Two", "Three", "Four"}, 0, file);
        IdString *fourth = deeper.strings().at(3);
        auto *stray = new IdSegment(fourth, fourth->words(), file);
        file->setSegments(QList<IdSegment *>(file->segments()) << stray);
        BufferedLogger log;
        IdScoringContext context;
        context.file = file;
        applyFolderLevelEvidence(context);
        QCOMPARE(log.messages().size(), 1);
        QCOMPARE(log.messages().first().code, FolderLevelTextId);
        QCOMPARE(log.messages().first().arguments, QVariantList{3});
        QCOMPARE(folderScores(file), (QStringList{"Quiet Hours:0/0", "Lumens:0/0", "Four:0/0"}));
    }

    void defaultFieldsOfTheFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("titleScore"); // given to the last part beforehand
        QTest::addColumn<bool>("multipleArtists");
        QTest::addColumn<QStringList>("expected"); // "text:field+score"
        QTest::newRow("artist, album, title")
            << "Lumens - Quiet Hours - Amber" << 0 << false
            << QStringList{"Lumens:1+2", "Quiet Hours:2+2", "Amber:3+2"};
        QTest::newRow("two parts: artist and title")
            << "Lumens - Amber" << 0 << false << QStringList{"Lumens:1+2", "Amber:3+2"};
        QTest::newRow("one part is the title") << "Amber" << 0 << false << QStringList{"Amber:3+2"};
        QTest::newRow("a marked title leaves artist and album")
            << "Lumens - Amber" << 40 << false << QStringList{"Lumens:1+2", "Amber:3+40"};
        QTest::newRow("several artists change nothing for less shared words")
            << "Lumens - Quiet Hours - Amber" << 0 << true
            << QStringList{"Lumens:1+2", "Quiet Hours:2+2", "Amber:3+2"};
    }
    void defaultFieldsOfTheFileName()
    {
        QFETCH(QString, name);
        QFETCH(int, titleScore);
        QFETCH(bool, multipleArtists);
        QFETCH(QStringList, expected);
        QObject owner;
        IdAudioFile *file = segmentedFiles({"/" + name + ".mp3"}, {}, &owner).first();
        const QList<IdSegment *> words = segmentsOfKind(file, 1);
        if (titleScore != 0)
            words.last()->score(IdField::Title) = titleScore;
        IdScoringContext context;
        context.file = file;
        context.multipleArtists = multipleArtists;
        alignBaseNameFields(context);
        QStringList result;
        for (const IdSegment *s : words) {
            QVERIFY(s->preferred);
            result.append(QStringLiteral("%1:%2+%3")
                              .arg(trimSpacesAndDashes(s->text()))
                              .arg(s->preferredField)
                              .arg(s->fieldScore(s->preferredField)));
        }
        QCOMPARE(result, expected);
    }

    void widelySharedWordsTakeArtistThenAlbum()
    {
        // Shared by many files: the first such word is the artist, the second the album.
        QObject owner;
        IdAudioFile *file = segmentedFiles({"/Lumens - Quiet Hours - Amber.mp3"}, {}, &owner).first();
        const QList<IdSegment *> words = segmentsOfKind(file, 1);
        QCOMPARE(words.size(), 3);
        words.at(0)->groupSize = 9;
        words.at(1)->groupSize = 9;
        IdScoringContext context;
        context.file = file;
        alignBaseNameFields(context);
        QCOMPARE(words.at(0)->preferredField, 1);
        QCOMPARE(words.at(1)->preferredField, 2);
        QCOMPARE(words.at(2)->preferredField, 3);

        // With several artists a widely shared word is the album.
        for (IdSegment *s : words)
            s->reset();
        words.at(1)->groupSize = 1;
        context.multipleArtists = true;
        alignBaseNameFields(context);
        QCOMPARE(words.at(0)->preferredField, 2);
        QCOMPARE(words.at(1)->preferredField, 1);
        QCOMPARE(words.at(2)->preferredField, 3);
    }

    void dominantPattern_data()
    {
        QTest::addColumn<QList<int>>("counts"); // of the patterns {1,3}, {2,3}, {3}, in turn
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("one pattern is none") << QList<int>{9} << QList<int>();
        QTest::newRow("clear winner") << QList<int>{7, 2} << QList<int>{1, 3};
        QTest::newRow("later clear winner") << QList<int>{1, 6, 1} << QList<int>{2, 3};
        QTest::newRow("lead of four is not enough") << QList<int>{6, 2} << QList<int>();
        QTest::newRow("runner-up of five") << QList<int>{20, 5} << QList<int>();
        QTest::newRow("tie") << QList<int>{3, 3} << QList<int>();
    }
    void dominantPattern()
    {
        QFETCH(QList<int>, counts);
        QFETCH(QList<int>, expected);
        const QList<QList<int>> patterns{{1, 3}, {2, 3}, {3}};
        IdTrackNumberGroup group;
        for (qsizetype i = 0; i < counts.size(); ++i)
            group.fieldPatterns.append({patterns.at(i), counts.at(i)});
        QCOMPARE(dominantFieldPattern(&group), expected);
    }

    void firstPassRecordsTheFieldOrder()
    {
        QObject owner;
        IdTrackNumberGroup group;
        for (const QString &name : {"Lumens - Amber", "Lumens - Birch", "Amber"}) {
            IdAudioFile *file = segmentedFiles({"/" + name + ".mp3"}, {}, &owner).first();
            IdScoringContext context;
            context.file = file;
            context.trackSegment = file->segments().first();
            context.trackSegment->group = &group;
            alignBaseNameFields(context);
        }
        QCOMPARE(group.fieldPatterns.size(), 2);
        QCOMPARE(group.fieldPatterns.at(0).pattern, (QList<int>{1, 3}));
        QCOMPARE(group.fieldPatterns.at(0).count, 2);
        QCOMPARE(group.fieldPatterns.at(1).pattern, QList<int>{3});
        QCOMPARE(group.fieldPatterns.at(1).count, 1);
    }

    void secondPassFollowsTheDominantOrder_data()
    {
        QTest::addColumn<QList<int>>("pattern"); // dominant, 7 files against 1
        QTest::addColumn<bool>("titleMarked");   // the last part is marked as the title
        QTest::addColumn<QList<int>>("expected"); // fields of the parts
        QTest::newRow("album then title") << QList<int>{2, 3} << true << QList<int>{2, 3};
        QTest::newRow("artist then title") << QList<int>{1, 3} << true << QList<int>{1, 3};
        QTest::newRow("two fields for three parts widen at the title")
            << QList<int>{1, 3} << false << QList<int>{1, 3, 3};
        QTest::newRow("three fields for two parts lose the album")
            << QList<int>{1, 2, 3} << true << QList<int>{1, 3};
    }
    void secondPassFollowsTheDominantOrder()
    {
        QFETCH(QList<int>, pattern);
        QFETCH(bool, titleMarked);
        QFETCH(QList<int>, expected);
        QObject owner;
        const QString name = expected.size() == 3 ? "Lumens - Quiet Hours - Amber" : "Lumens - Amber";
        IdAudioFile *file = segmentedFiles({"/" + name + ".mp3"}, {}, &owner).first();
        const QList<IdSegment *> words = segmentsOfKind(file, 1);
        if (titleMarked)
            words.last()->score(IdField::Title) = 40;
        IdTrackNumberGroup group;
        group.fieldPatterns = {{pattern, 7}, {{3}, 1}};
        IdScoringContext context;
        context.file = file;
        context.firstPass = false;
        context.trackSegment = words.first();
        words.first()->group = &group;
        alignBaseNameFields(context);
        QList<int> fields;
        for (const IdSegment *s : words)
            fields.append(s->preferred ? s->preferredField : 0);
        QCOMPARE(fields, expected);
        QCOMPARE(group.fieldPatterns.size(), 2); // the second pass records nothing
    }
};

QTEST_GUILESS_MAIN(TestIdFolderFields)
#include "tst_idfolderfields.moc"
