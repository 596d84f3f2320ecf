#include <QtTest>

#include "app/identification/stages/groupalbums.h"
#include "app/identification/idartistname.h"
#include "app/identification/idaudiofile.h"
#include "app/identification/idaudiofilegroup.h"
#include "app/identification/idsegment.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idtracknumbergroup.h"

#include "support_identification.h"

namespace {
// Files f0, f1, ... described as "album;artist;album confidence" (parts may be empty).
QList<IdAudioFile *> describedFiles(const QStringList &descriptions, QObject *owner)
{
    QStringList names;
    for (qsizetype i = 0; i < descriptions.size(); ++i)
        names.append(QStringLiteral("f%1").arg(i));
    const QList<IdAudioFile *> files = idFiles(names, owner);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QStringList parts = descriptions.at(i).split(u';');
        if (!parts.value(0).isEmpty())
            files.at(i)->setValue(IdField::Album, parts.value(0));
        if (!parts.value(1).isEmpty())
            files.at(i)->setValue(IdField::Artist, IdArtistName(parts.value(1)).toVariant());
        if (!parts.value(2).isEmpty())
            files.at(i)->setValueConfidence(IdField::Album, parts.value(2).toInt());
    }
    return files;
}

QStringList repeated(const QString &description, int count)
{
    return QStringList(count, description);
}

// A track-number group whose entries are the first words of the files' base names.
IdTrackNumberGroup *trackGroup(const QList<IdAudioFile *> &files, QObject *owner)
{
    auto *group = new IdTrackNumberGroup(owner);
    int number = 0;
    for (IdAudioFile *file : files) {
        IdWord *word = file->stringList(1)->strings().first()->words().first();
        group->addEntry(new IdTrackNumberGroupEntry(word, ++number));
    }
    return group;
}

// "type:files:artist:album" for every group.
QStringList describe(const QList<IdAudioFileGroup *> &groups)
{
    QStringList result;
    for (const IdAudioFileGroup *group : groups) {
        result.append(QStringLiteral("%1:%2:%3:%4")
                          .arg(group->type)
                          .arg(group->files.size())
                          .arg(group->artist.toString(false), group->album));
    }
    return result;
}
} // namespace

// Stage 6: album groups from track-number groups and from identified values.
class TestIdAlbumGrouping : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpIdentificationTests(); }

    void trackNumberAlbums_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one artist")
            << repeated("Alpha;The Lumens", 5) << QStringList{"0:5:The Lumens:Alpha"};
        // The limit of five files is 5 * 75 / 100 = 3.
        QTest::newRow("three of five name one artist")
            << QStringList{"Alpha;Lumens", "Alpha;Lumens", "Alpha;Lumens", "Alpha;Quiet Hours", "Alpha;Dusk"}
            << QStringList{"0:5:Lumens:Alpha"};
        QTest::newRow("two of five name one artist")
            << QStringList{"Alpha;Lumens", "Alpha;Lumens", "Alpha;Quiet Hours", "Alpha;Dusk", "Alpha;Ember"}
            << QStringList{"1:5::Alpha"};
        QTest::newRow("the article's place makes no difference")
            << QStringList{"Alpha;Lumens, The", "Alpha;The Lumens", "Alpha;the Lumens", "Alpha;Lumens"}
            << QStringList{"0:4:The Lumens:Alpha"};
        QTest::newRow("most files without an album")
            << QStringList{"Alpha;Lumens", ";Lumens", ";Lumens"} << QStringList{"0:3:Lumens:"};
        QTest::newRow("150 files in chunks of 100")
            << repeated("Alpha;Lumens", 150) << QStringList{"0:100:Lumens:Alpha", "0:50:Lumens:Alpha"};
    }
    void trackNumberAlbums()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, expected);
        QObject owner;
        const QList<IdAudioFile *> all = describedFiles(files, &owner);
        IdAlbumGroupingState state(all, all);
        const QList<IdAudioFileGroup *> groups = groupAlbums(state, {trackGroup(all, &owner)}, &owner);
        QCOMPARE(describe(groups), expected);
        QVERIFY(state.ungroupedFiles.isEmpty());
        QCOMPARE(groups.first()->files.first(), all.first());
        QCOMPARE(groups.first()->selectedFiles.size(), groups.first()->files.size());
        QVERIFY(!groups.first()->artist.articleWasAtEnd);
    }

    void albumsByValues_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("four files of one album and artist")
            << repeated("Alpha;Lumens", 4) << QStringList{"0:4:Lumens:Alpha"};
        QTest::newRow("three are too few")
            << repeated("Alpha;Lumens;3", 3) << QStringList{"2:3::"};
        QTest::newRow("albums differing in case and punctuation are one")
            << QStringList{"Quiet Hours;Lumens", "quiet hours;Lumens", "Quiet-Hours;Lumens", "Quiet Hours;Lumens"}
            << QStringList{"0:4:Lumens:Quiet Hours"};
        QTest::newRow("five artists, weak or strong album")
            << QStringList{"Alpha;A1;2", "Alpha;A2;3", "Alpha;A3;2", "Alpha;A4;2", "Alpha;A5;3"}
            << QStringList{"1:5::Alpha"};
        QTest::newRow("five artists, rejected album")
            << QStringList{"Alpha;A1;1", "Alpha;A2;1", "Alpha;A3;1", "Alpha;A4;1", "Alpha;A5;1"}
            << QStringList{"2:5::"};
        QTest::newRow("five artists, no album confidence")
            << QStringList{"Alpha;A1", "Alpha;A2", "Alpha;A3", "Alpha;A4", "Alpha;A5"} << QStringList{"2:5::"};
        // Three of four candidates name one artist: 3 is not below 4 * 75 / 100.
        QTest::newRow("candidates mostly of one artist")
            << QStringList{"Alpha;Lumens;2", "Alpha;Lumens;2", "Alpha;Lumens;2", "Alpha;Dusk;2"}
            << QStringList{"2:4::"};
        QTest::newRow("candidates of two artists")
            << QStringList{"Alpha;Lumens;2", "Alpha;Lumens;2", "Alpha;Dusk;2", "Alpha;Ember;2"}
            << QStringList{"1:4::Alpha"};
        QTest::newRow("no album, one artist")
            << repeated(";Lumens", 4) << QStringList{"0:4:Lumens:"};
        QTest::newRow("no values at all")
            << repeated(";;", 4) << QStringList{"2:4::"};
        QTest::newRow("albums in key order, the rest at the end")
            << QStringList{"Bravo;Lumens", "Solo;Dusk", "Alpha;Ember", "Bravo;Lumens", "Alpha;Ember", "Bravo;Lumens",
                           "Alpha;Ember", "Bravo;Lumens", "Alpha;Ember"}
            << QStringList{"0:4:Ember:Alpha", "0:4:Lumens:Bravo", "2:1::"};
        QTest::newRow("60 unrelated files in chunks of 25")
            << repeated(";;", 60) << QStringList{"2:25::", "2:25::", "2:10::"};
    }
    void albumsByValues()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, expected);
        QObject owner;
        const QList<IdAudioFile *> all = describedFiles(files, &owner);
        IdAlbumGroupingState state(all, all);
        const QList<IdAudioFileGroup *> groups = groupAlbums(state, {}, &owner);
        QCOMPARE(describe(groups), expected);
        QVERIFY(state.ungroupedFiles.isEmpty());
        for (const IdAudioFileGroup *group : groups)
            QCOMPARE(group->parent(), &owner);
    }

    // Files of a track-number group are never grouped again by their values, and a chunk
    // holding context files only makes no group and leaves its files out for good.
    void groupsNeedSelectedFiles()
    {
        QObject owner;
        const QList<IdAudioFile *> all = describedFiles(repeated("Alpha;Lumens", 150) + repeated("Bravo;Dusk", 8), &owner);
        const QList<IdAudioFile *> tracks = all.mid(0, 150);
        // Selected: one file of the second chunk of the track group, one of the Bravo files.
        IdAlbumGroupingState state(all, {all.at(120), all.at(152)});
        IdTrackNumberGroup *group = trackGroup(tracks, &owner);
        // A default group is no album.
        auto *other = new IdTrackNumberGroup(&owner);
        const QList<IdAudioFileGroup *> groups = groupAlbums(state, {other, group}, &owner);
        QCOMPARE(describe(groups), (QStringList{"0:50:Lumens:Alpha", "0:8:Dusk:Bravo"}));
        QCOMPARE(groups.first()->selectedFiles, QSet<IdAudioFile *>{all.at(120)});
        QCOMPARE(groups.last()->selectedFiles, QSet<IdAudioFile *>{all.at(152)});
        QVERIFY(state.ungroupedFiles.isEmpty());
    }

    // Track-number groups are taken largest first; a file in two of them joins the first.
    void largestTrackGroupFirst()
    {
        QObject owner;
        const QList<IdAudioFile *> all =
            describedFiles(repeated("Alpha;Lumens", 3) + repeated("Bravo;Dusk", 4), &owner);
        IdTrackNumberGroup *small = trackGroup(all.mid(0, 4), &owner);
        IdTrackNumberGroup *large = trackGroup(all.mid(2), &owner);
        IdAlbumGroupingState state(all, all);
        const QList<IdAudioFileGroup *> groups = groupAlbums(state, {small, large}, &owner);
        QCOMPARE(describe(groups), (QStringList{"0:5:Dusk:Bravo", "0:2:Lumens:Alpha"}));
    }
};

QTEST_GUILESS_MAIN(TestIdAlbumGrouping)
#include "tst_idalbumgrouping.moc"
