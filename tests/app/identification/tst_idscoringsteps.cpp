#include <QtTest>

#include "app/identification/idartistname.h"
#include "app/identification/idaudiofile.h"
#include "app/identification/idbasicevidence.h"
#include "app/identification/idgroup.h"
#include "app/identification/idinterpretationresult.h"
#include "app/identification/idnumberevidence.h"
#include "app/identification/idscoringcontext.h"
#include "app/identification/idscoringgroupcache.h"
#include "app/identification/idsegment.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idtexttests.h"
#include "app/identification/idversionitem.h"
#include "app/identification/idword.h"
#include "app/shell/builddate.h"
#include "libtagging/model/tagitem.h"

#include "support_identification.h"
#include "support_idscoring.h"

namespace {
using Values = QMap<int, QStringList>;
using Marks = QList<QPair<int, int>>;

// A segment over the words numbered first to last (all words, separators included) of the
// string, which take the category and the group size.
IdSegment *cut(IdString *string, int first, int last, int category = IdWordCategory::PlainWord, int groupSize = 1)
{
    const QList<IdWord *> all = string->words();
    const QList<IdWord *> words = all.mid(first, last - first + 1);
    for (IdWord *word : words) {
        word->category = category;
        word->groupSize = groupSize;
    }
    return new IdSegment(string, words, string->audioFile());
}

IdString *stringOf(const IdAudioFile *file, int kind, int index = 0)
{
    return file->stringList(kind)->strings().at(index);
}

// One segment per word of the base name, with these categories and group sizes.
QList<IdSegment *> nameWords(IdAudioFile *file, const QList<QPair<int, int>> &marks)
{
    QList<IdSegment *> segments;
    IdString *name = stringOf(file, 1);
    const QList<IdWord *> all = name->words();
    int next = 0;
    for (qsizetype k = 0; k < all.size() && next < marks.size(); ++k) {
        if (all.at(k)->kind() != IdWordKind::Word)
            continue;
        segments.append(cut(name, int(k), int(k), marks.at(next).first, marks.at(next).second));
        ++next;
    }
    return segments;
}

QString albumFolder(const QString &name)
{
    return "/music/Lumens/Night Songs/" + name + ".mp3";
}

// An album of numbered files "NN - Title", of which the first `tagged` have artist, album
// and title tags.
QList<IdAudioFile *> numberedAlbum(int count, int tagged, QObject *owner)
{
    QList<IdAudioFile *> files;
    const QStringList titles{"Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot", "Golf", "Hotel", "India",
                             "Juliett", "Kilo", "Lima"};
    for (int i = 0; i < count; ++i) {
        Values values;
        if (i < tagged)
            values = {{int(TagItemType::Artist), {"Lumens"}},
                      {int(TagItemType::Album), {"Night Songs"}},
                      {int(TagItemType::Title), {titles.at(i % titles.size())}}};
        files.append(idTaggedFile(albumFolder(QStringLiteral("%1 - %2").arg(i + 1, 2, 10, QLatin1Char('0'))
                                                  .arg(titles.at(i % titles.size()))),
                                  values, owner));
    }
    segmentIdFiles(files, owner);
    return files;
}

void runContextSteps(IdScoringContext &context)
{
    resetSegmentScores(context);
    computeTitleShareOffset(context);
    findTrackNumberSegment(context);
    computeTagCoverage(context);
    detectMultipleArtists(context);
}

IdAudioFile *nameFile(const QString &baseName, QObject *owner, const Values &values = {})
{
    return idTaggedFile(albumFolder(baseName), values, owner);
}
// A file whose text of the kind (0 folder, 1 base name, 2 artist, 5 track number, 6 disc
// number, 7 release date) is the text.
IdAudioFile *fileWithText(int kind, const QString &text, QObject *owner)
{
    static const QHash<int, int> itemTypes{{2, int(TagItemType::Artist)},
                                           {5, int(TagItemType::TrackNumber)},
                                           {6, int(TagItemType::DiscNumber)},
                                           {7, int(TagItemType::ReleaseDate)}};
    const QString folder = kind == 0 ? "/music/" + text : QStringLiteral("/music/Folder");
    const QString name = kind == 1 ? text : QStringLiteral("Song");
    Values values;
    if (itemTypes.contains(kind))
        values.insert(itemTypes.value(kind), {text});
    return idTaggedFile(folder + "/" + name + ".mp3", values, owner);
}

QList<int> albumScores(const QList<IdSegment *> &segments)
{
    QList<int> scores;
    for (IdSegment *s : segments)
        scores.append(s->score(IdField::Album));
    return scores;
}
} // namespace

// The scoring steps that fill a file's context and add the basic and the number evidence.
class TestIdScoringSteps : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpIdentificationTests(); }
    void cleanup() { setCurrentDateForTesting(QDate(2026, 6, 1)); }

    void tagCoverageOfTheTrackGroup_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("tagged");
        QTest::addColumn<int>("coverage");
        QTest::newRow("all of ten") << 10 << 10 << 45;
        QTest::newRow("none of ten") << 10 << 0 << 1;
        QTest::newRow("half of ten") << 10 << 5 << 27; // 88 * 8 / 10 = 70
        QTest::newRow("one of four") << 4 << 1 << 45;
    }
    void tagCoverageOfTheTrackGroup()
    {
        QFETCH(int, files);
        QFETCH(int, tagged);
        QFETCH(int, coverage);
        QObject owner;
        const QList<IdAudioFile *> album = numberedAlbum(files, tagged, &owner);
        IdScoringContext context = idScoringContext(album.last(), album);
        runContextSteps(context);
        QVERIFY(context.trackSegment);
        QCOMPARE(context.trackSegment->sourceKind(), 1); // the name's number comes first
        QCOMPARE(context.trackSegment->groupSize, files);
        QCOMPARE(context.artistCoverage, coverage);
        QCOMPARE(context.albumCoverage, coverage);
        QCOMPARE(context.titleCoverage, coverage);
        QCOMPARE(context.averageCoverage, coverage);
    }

    void noTrackGroup()
    {
        QObject owner;
        IdAudioFile *file = nameFile("Alpha", &owner);
        segmentIdFiles({file}, &owner);
        IdScoringContext context = idScoringContext(file, {file});
        context.multipleArtists = true;
        runContextSteps(context);
        QVERIFY(!context.trackSegment);
        QCOMPARE(context.averageCoverage, 45);
        QVERIFY(!context.multipleArtists);
        // Without a track-number segment the album step leaves the scores alone.
        applyAlbumShareEvidence(context);
        for (const IdSegment *s : file->segments())
            QVERIFY(s->scores().isEmpty());
    }

    // A run's cache gives every file what walking its group gives, in both passes.
    void groupCacheEqualsWalking()
    {
        QObject owner;
        QList<IdAudioFile *> files = numberedAlbum(6, 3, &owner);
        // A compilation in a second folder: "Night Songs - NN - Artist - Title".
        const QStringList artists{"Lumens", "Quiet Hours", "Lumens", "Echo Park"};
        QList<IdAudioFile *> second;
        for (int i = 0; i < artists.size(); ++i)
            second.append(idTaggedFile(QStringLiteral("/music/Mix/Night Songs - %1 - %2 - Song %3.mp3")
                                           .arg(i + 1, 2, 10, QLatin1Char('0'))
                                           .arg(artists.at(i))
                                           .arg(QChar(u'A' + i)),
                                       {}, &owner));
        segmentIdFiles(second, &owner);
        // First-pass artists for the second pass's test.
        for (int i = 0; i < second.size(); ++i)
            second.at(i)->setResults({{1, new IdInterpretationResult(nullptr, IdArtistName(artists.at(i)).toVariant())}});
        files += second;
        IdScoringGroupCache cache;
        for (const bool firstPass : {true, false}) {
            for (IdAudioFile *file : std::as_const(files)) {
                IdScoringContext plain = idScoringContext(file, files, firstPass);
                IdScoringContext cached = plain;
                cached.groupCache = &cache;
                runContextSteps(plain);
                runContextSteps(cached);
                QCOMPARE(cached.averageCoverage, plain.averageCoverage);
                QCOMPARE(cached.artistCoverage, plain.artistCoverage);
                QCOMPARE(cached.multipleArtists, plain.multipleArtists);
            }
        }
        IdScoringContext context = idScoringContext(second.first(), files, false);
        context.groupCache = &cache;
        runContextSteps(context);
        QVERIFY(context.trackSegment);
        QVERIFY(context.multipleArtists);
    }

    void titleShareOffset_data()
    {
        QTest::addColumn<Marks>("words"); // category and group size per name word
        QTest::addColumn<int>("offset");
        using W = QList<QPair<int, int>>;
        QTest::newRow("smallest 3") << W{{1, 5}, {1, 3}, {1, 4}} << 4;
        QTest::newRow("smallest 6") << W{{1, 9}, {1, 6}} << 7;
        QTest::newRow("smallest 7") << W{{1, 9}, {1, 7}} << 1;
        QTest::newRow("a rare word") << W{{1, 5}, {1, 2}, {1, 3}} << 1;
        QTest::newRow("not a title") << W{{1, 3}, {13, 5}} << 1;
        QTest::newRow("no plain word") << W{{3, 5}} << 1;
    }
    void titleShareOffset()
    {
        QFETCH(Marks, words);
        QFETCH(int, offset);
        QObject owner;
        IdAudioFile *file = nameFile("Alpha Bravo Charlie", &owner);
        file->setSegments(nameWords(file, words));
        IdScoringContext context = idScoringContext(file, {file});
        computeTitleShareOffset(context);
        QCOMPARE(context.titleShareOffset, offset);
    }

    void folderNameEvidence()
    {
        QObject owner;
        IdAudioFile *file = nameFile("Alpha", &owner);
        file->setSegments({cut(stringOf(file, 0), 0, 2, IdWordCategory::PlainWord, 1)});
        IdSegment *folder = file->segments().first();
        QCOMPARE(folder->text(), QStringLiteral("Night Songs"));
        IdScoringContext context = idScoringContext(file, {file});
        context.poolWeight = 0;
        context.sharingTimesTen = 0;
        applySourceEvidence(context);
        QCOMPARE(folder->score(IdField::Artist), -17);
        QCOMPARE(folder->score(IdField::Album), -17);
        QCOMPARE(folder->score(IdField::Title), -50);
        QCOMPARE(folder->score(IdField::TrackNumber), -50);

        folder->reset();
        context.poolWeight = 900;
        context.sharingTimesTen = 750;
        applySourceEvidence(context);
        QCOMPARE(folder->score(IdField::Artist), -2);
        QCOMPARE(folder->score(IdField::Album), -2);
    }

    void fileNameEvidence_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Marks>("words");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QList<int>>("titles");  // title score per word
        QTest::addColumn<QList<int>>("artists"); // artist score per word
        using W = QList<QPair<int, int>>;
        using S = QList<int>;
        // A shared word (5 files) loses 9 per file beyond the offset; the rarest word gains the
        // title bonus, 40 when the next is clearly more shared.
        QTest::newRow("shared word, offset 1") << "Lumens Alpha" << W{{1, 5}, {1, 1}} << 1 << S{-36, 40} << S{0, 0};
        QTest::newRow("shared word, offset 4") << "Lumens Alpha" << W{{1, 5}, {1, 1}} << 4 << S{-9, 40} << S{0, 0};
        QTest::newRow("leading number") << "01 Alpha" << W{{1, 1}, {1, 1}} << 1 << S{0, 40} << S{-50, 0};
        QTest::newRow("number after a word") << "Alpha 01" << W{{1, 1}, {1, 1}} << 1 << S{40, 0} << S{0, 0};
        QTest::newRow("rarest word is a number: at most 10")
            << "Lumens 01" << W{{1, 9}, {1, 1}} << 1 << S{-72, 10} << S{0, 0};
        QTest::newRow("two rare words, no bonus") << "Alpha Bravo" << W{{1, 1}, {1, 2}} << 1 << S{0, 0} << S{0, 0};
        QTest::newRow("rarest of 4 alone") << "Lumens Alpha" << W{{13, 9}, {1, 4}} << 1 << S{-72, -27} << S{0, 0};
        QTest::newRow("3 against 6") << "Alpha Bravo" << W{{1, 3}, {1, 6}} << 1 << S{-18 + 18, -45} << S{0, 0};
        QTest::newRow("most shared is the artist")
            << "Lumens Night Alpha" << W{{1, 12}, {1, 4}, {1, 1}} << 1 << S{-99, -27, 40} << S{5, 0, 0};
    }
    void fileNameEvidence()
    {
        QFETCH(QString, name);
        QFETCH(Marks, words);
        QFETCH(int, offset);
        QFETCH(QList<int>, titles);
        QFETCH(QList<int>, artists);
        QObject owner;
        IdAudioFile *file = nameFile(name, &owner);
        file->setSegments(nameWords(file, words));
        IdScoringContext context = idScoringContext(file, {file});
        context.titleShareOffset = offset;
        applySourceEvidence(context);
        QList<int> titleScores;
        QList<int> artistScores;
        for (IdSegment *s : file->segments()) {
            titleScores.append(s->score(IdField::Title));
            artistScores.append(s->score(IdField::Artist));
        }
        QCOMPARE(titleScores, titles);
        QCOMPARE(artistScores, artists);
    }

    void tagEvidence()
    {
        QObject owner;
        IdAudioFile *file = nameFile("Alpha", &owner,
                                     {{int(TagItemType::Artist), {"Lumens"}},
                                      {int(TagItemType::Title), {"Alpha"}},
                                      {int(TagItemType::TrackNumber), {"3"}}});
        IdSegment *artist = cut(stringOf(file, 2), 0, 0, IdWordCategory::PlainWord, 7);
        IdSegment *title = cut(stringOf(file, 4), 0, 0);
        IdSegment *track = cut(stringOf(file, 5), 0, 0);
        file->setSegments({artist, title, track});
        IdScoringContext context = idScoringContext(file, {file});
        context.artistCoverage = 20;
        context.titleCoverage = 30;
        context.averageCoverage = 25;
        applySourceEvidence(context);
        QCOMPARE(artist->score(IdField::Artist), 20);
        QCOMPARE(artist->score(IdField::Title), -54); // shared by 7 files
        QCOMPARE(artist->score(IdField::TrackNumber), -6);
        QCOMPARE(title->score(IdField::Title), 30);
        QCOMPARE(track->score(IdField::TrackNumber), 25);
        QCOMPARE(track->score(IdField::Artist), -50);
    }

    void versionEvidence()
    {
        QObject owner;
        IdAudioFile *file = nameFile("Alpha", &owner,
                                     {{int(TagItemType::Title), {"Alpha feat Bravo", "Remix"}}});
        IdSegment *featuring = cut(stringOf(file, 4, 0), 0, 4);
        IdSegment *only = cut(stringOf(file, 4, 1), 0, 0);
        file->setSegments({featuring, only});
        QVERIFY(featuring->versionItem()->hasVersion());
        IdScoringContext context = idScoringContext(file, {file});
        applyVersionEvidence(context);
        QCOMPARE(featuring->versionItem()->suggestedField(), int(IdField::Artist));
        QCOMPARE(featuring->score(IdField::Artist), 5);
        QCOMPARE(featuring->score(IdField::Title), 0);
        QCOMPARE(only->score(IdField::Title), -150);
        QCOMPARE(only->baseScore(), -150);
    }

    void albumShareEvidence_data()
    {
        QTest::addColumn<bool>("multipleArtists");
        QTest::addColumn<QList<int>>("sizes"); // group sizes of the name words; the track group has 12
        QTest::addColumn<QList<int>>("albums");
        using S = QList<int>;
        QTest::newRow("shared by all") << false << S{12, 11} << S{0, -1};
        QTest::newRow("far fewer") << false << S{9, 1} << S{-9, -100};
        QTest::newRow("compilation, one nearly shared") << true << S{10, 1} << S{26, -100};
        QTest::newRow("compilation, two nearly shared") << true << S{10, 12} << S{-4, 0};
    }
    void albumShareEvidence()
    {
        QFETCH(bool, multipleArtists);
        QFETCH(QList<int>, sizes);
        QFETCH(QList<int>, albums);
        QObject owner;
        IdAudioFile *file = nameFile("01 Alpha Bravo", &owner);
        QList<IdSegment *> segments = nameWords(file, {{3, 12}, {1, sizes.at(0)}, {1, sizes.at(1)}});
        IdSegment *folder = cut(stringOf(file, 0), 0, 2, IdWordCategory::PlainWord, 1);
        file->setSegments(segments + QList<IdSegment *>{folder});
        IdScoringContext context = idScoringContext(file, {file});
        context.trackSegment = segments.first();
        context.multipleArtists = multipleArtists;
        applyAlbumShareEvidence(context);
        QCOMPARE(QList<int>({segments.at(1)->score(IdField::Album), segments.at(2)->score(IdField::Album)}), albums);
        QVERIFY(folder->scores().isEmpty());
    }

    void categoryAndTextPenalties()
    {
        QObject owner;
        IdAudioFile *file = nameFile("Alpha - Disc", &owner);
        QList<IdSegment *> segments{cut(stringOf(file, 1), 0, 0), cut(stringOf(file, 1), 2, 2),
                                    cut(stringOf(file, 1), 4, 4, IdWordCategory::DiscKeyword)};
        segments.at(0)->score(IdField::Title) = 40;
        segments.at(2)->score(IdField::Title) = 40;
        file->setSegments(segments);
        IdScoringContext context = idScoringContext(file, {file});
        applyCategoryAndTextPenalties(context);
        QCOMPARE(segments.at(0)->score(IdField::Title), 40);
        QCOMPARE(segments.at(1)->text(), QStringLiteral("-"));
        QCOMPARE(segments.at(1)->baseScore(), -3);
        QCOMPARE(segments.at(2)->score(IdField::Title), -29);
    }

    void titleTagEvidence_data()
    {
        QTest::addColumn<QList<int>>("sizes"); // group sizes of the title tag's words
        QTest::addColumn<QList<int>>("artists");
        QTest::addColumn<QList<int>>("albums");
        using S = QList<int>;
        QTest::newRow("three rare") << S{1, 1, 1} << S{3, 0, 0} << S{0, 3, 0};
        QTest::newRow("two rare: the first only") << S{1, 2} << S{3, 0} << S{0, 0};
        QTest::newRow("one rare") << S{1} << S{0} << S{0};
        QTest::newRow("one shared") << S{5, 1} << S{3, 0} << S{0, 0};
        QTest::newRow("two shared") << S{5, 1, 4} << S{3, 0, 0} << S{0, 0, 3};
    }
    void titleTagEvidence()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(QList<int>, artists);
        QFETCH(QList<int>, albums);
        QObject owner;
        IdAudioFile *file = nameFile("Alpha", &owner, {{int(TagItemType::Title), {"Alpha Bravo Charlie"}}});
        QList<IdSegment *> segments;
        for (int i = 0; i < sizes.size(); ++i)
            segments.append(cut(stringOf(file, 4), 2 * i, 2 * i, IdWordCategory::PlainWord, sizes.at(i)));
        // A number in the title takes no part.
        IdSegment *number = cut(stringOf(file, 4), 4, 4);
        if (sizes.size() < 3) {
            number->score(IdField::TrackNumber) = 5;
            segments.append(number);
        }
        file->setSegments(segments);
        IdScoringContext context = idScoringContext(file, {file});
        applyTitleTagEvidence(context);
        for (int i = 0; i < sizes.size(); ++i) {
            QCOMPARE(segments.at(i)->score(IdField::Artist), artists.at(i));
            QCOMPARE(segments.at(i)->score(IdField::Album), albums.at(i));
            QCOMPARE(segments.at(i)->score(IdField::Title), -artists.at(i) - albums.at(i));
        }
        if (sizes.size() < 3)
            QCOMPARE(number->score(IdField::Artist), 0);
    }

    void multipleArtistsByNames_data()
    {
        QTest::addColumn<QString>("pattern"); // of the names: {n} the number, {a} the artist, {t} the title
        QTest::addColumn<bool>("multiple");
        QTest::newRow("album") << "{n} - {t}" << false;
        QTest::newRow("compilation") << "Night Songs - {n} - {a} - {t}" << true;
    }
    void multipleArtistsByNames()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, multiple);
        QObject owner;
        const QStringList artists{"Lumens", "Quiet Hours", "Echo Park", "Slow Rivers"};
        const QStringList titles{"Alpha", "Bravo", "Charlie", "Delta"};
        QList<IdAudioFile *> files;
        for (int i = 0; i < 4; ++i) {
            QString name = pattern;
            name.replace("{n}", QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0')))
                .replace("{a}", artists.at(i))
                .replace("{t}", titles.at(i));
            files.append(idTaggedFile("/music/Mix/" + name + ".mp3", {}, &owner));
        }
        segmentIdFiles(files, &owner);
        for (IdAudioFile *file : std::as_const(files)) {
            IdScoringContext context = idScoringContext(file, files);
            runContextSteps(context);
            QVERIFY2(context.trackSegment, qPrintable(describeIdSegments(file)));
            QCOMPARE(context.multipleArtists, multiple);
        }
    }

    void multipleArtistsByPhrases()
    {
        QObject owner;
        IdAudioFile *various = fileWithText(1, "Various Artists", &owner);
        various->setSegments({cut(stringOf(various, 1), 0, 2, IdWordCategory::VariousArtistsPhrase)});
        IdAudioFile *featuring = fileWithText(2, "Alpha feat Bravo", &owner);
        featuring->setSegments({cut(stringOf(featuring, 2), 0, 4)});
        IdAudioFile *plain = fileWithText(2, "Alpha and Bravo", &owner);
        plain->setSegments({cut(stringOf(plain, 2), 0, 4)});
        for (const auto &[file, multiple] : {std::pair{various, true}, {featuring, true}, {plain, false}}) {
            IdScoringContext context = idScoringContext(file, {file});
            runContextSteps(context);
            QCOMPARE(context.multipleArtists, multiple);
        }
    }

    // In the second pass, an album whose files chose different artists in the first pass.
    void multipleArtistsByFirstPass_data()
    {
        QTest::addColumn<QStringList>("artists"); // first-pass artist per file; "-" a text value
        QTest::addColumn<bool>("secondPass");
        QTest::addColumn<bool>("multiple");
        QTest::newRow("three of five") << QStringList{"Lumens", "The Lumens", "Lumens, The", "Quiet", "Echo"} << true << true;
        QTest::newRow("four of five") << QStringList{"Lumens", "Lumens", "Lumens", "Lumens", "Echo"} << true << false;
        QTest::newRow("first pass") << QStringList{"Lumens", "Lumens", "Quiet", "Quiet", "Echo"} << false << false;
        QTest::newRow("no artist read") << QStringList{"-", "-", "-", "-", "-"} << true << false;
        QTest::newRow("one artist read") << QStringList{"Lumens", "-", "-", "-", "-"} << true << true;
    }
    void multipleArtistsByFirstPass()
    {
        QFETCH(QStringList, artists);
        QFETCH(bool, secondPass);
        QFETCH(bool, multiple);
        QObject owner;
        const QList<IdAudioFile *> files = numberedAlbum(int(artists.size()), 0, &owner);
        for (int i = 0; i < artists.size(); ++i) {
            const QVariant value = artists.at(i) == "-" ? QVariant(QStringLiteral("Lumens"))
                                                        : IdArtistName(artists.at(i)).toVariant();
            files.at(i)->setResults({{IdField::Artist, new IdInterpretationResult(nullptr, value)}});
        }
        IdScoringContext context = idScoringContext(files.first(), files, !secondPass);
        runContextSteps(context);
        QCOMPARE(context.multipleArtists, multiple);
    }

    void categoryEvidence_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("score");
        QTest::newRow("track group word") << int(IdWordCategory::TrackGroupWord) << 4 << 55;
        QTest::newRow("track number") << int(IdWordCategory::TrackNumberValue) << 4 << 30;
        QTest::newRow("track count") << int(IdWordCategory::TrackCountValue) << 5 << 30;
        QTest::newRow("disc number") << int(IdWordCategory::DiscNumberValue) << 6 << 40;
        QTest::newRow("disc count") << int(IdWordCategory::DiscCountValue) << 7 << 30;
        QTest::newRow("disc from track number") << int(IdWordCategory::DiscFromTrackNumber) << 6 << 40;
        QTest::newRow("year") << int(IdWordCategory::YearWord) << 8 << 40;
    }
    void categoryEvidence()
    {
        QFETCH(int, category);
        QFETCH(int, field);
        QFETCH(int, score);
        QObject owner;
        IdAudioFile *file = fileWithText(1, "12", &owner);
        IdSegment *segment = cut(stringOf(file, 1), 0, 0, category);
        file->setSegments({segment});
        IdScoringContext context = idScoringContext(file, {file});
        applyNumberEvidence(context);
        QCOMPARE(segment->score(field), score);
        QCOMPARE(segment->baseScore(), -50);
        QCOMPARE(segment->scores().keys(), QList<int>{field});
    }

    void plainNumbers_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("year"); // the current year
        QTest::addColumn<QList<int>>("scores"); // track number, release date, disc number, artist
        QTest::addColumn<int>("preferred");
        using S = QList<int>;
        const int later = qMax(buildYear(), 2026) + 1;
        QTest::newRow("name: track") << 1 << "12" << 2026 << S{2, -100, -50, -5} << 4;
        QTest::newRow("name: year") << 1 << "1999" << 2026 << S{-100, 5, -50, -5} << 8;
        QTest::newRow("name: next year") << 1 << QString::number(later) << 2026 << S{-100, 5, -50, -5} << 8;
        QTest::newRow("name: beyond next year") << 1 << QString::number(later + 1) << 2026 << S{-100, -100, -50, 0} << 0;
        QTest::newRow("name: a later current year") << 1 << QString::number(later + 1) << later + 1 << S{-100, 5, -50, -5} << 8;
        QTest::newRow("name: zero") << 1 << "0" << 2026 << S{-100, -100, -50, 0} << 0;
        QTest::newRow("name: word") << 1 << "Alpha" << 2026 << S{-100, -100, -50, 0} << 0;
        QTest::newRow("name: too large") << 1 << "99999999999" << 2026 << S{-100, -100, -50, 0} << 0;
        QTest::newRow("folder: year") << 0 << "1999" << 2026 << S{-100, 5, -50, -5} << 0;
        QTest::newRow("folder: small number") << 0 << "12" << 2026 << S{-100, -100, -50, 0} << 0;
        QTest::newRow("track tag") << 5 << "7" << 2026 << S{0, -100, -50, -5} << 0;
        QTest::newRow("year tag") << 7 << "1999" << 2026 << S{-100, 0, -50, -5} << 0;
        QTest::newRow("disc tag") << 6 << "2" << 2026 << S{2, -100, 0, -5} << 0;
    }
    void plainNumbers()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(int, year);
        QFETCH(QList<int>, scores);
        QFETCH(int, preferred);
        setCurrentDateForTesting(QDate(year, 6, 1));
        QObject owner;
        IdAudioFile *file = fileWithText(kind, text, &owner);
        IdString *string = stringOf(file, kind);
        IdSegment *segment = cut(string, 0, int(string->words().size()) - 1);
        QCOMPARE(segment->text(), text);
        file->setSegments({segment});
        IdScoringContext context = idScoringContext(file, {file});
        applyNumberEvidence(context);
        QCOMPARE(QList<int>({segment->score(IdField::TrackNumber), segment->score(IdField::ReleaseDate),
                             segment->score(IdField::DiscNumber), segment->score(IdField::Artist)}),
                 scores);
        QCOMPARE(segment->preferred ? segment->preferredField : 0, preferred);
    }

    void discNumberInTheName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");   // of the number; the track-number segment's is 8
        QTest::addColumn<bool>("leads"); // the number comes first
        QTest::addColumn<int>("disc");
        QTest::newRow("leading disc") << "2 Alpha" << 8 << true << 10;
        QTest::newRow("after a word") << "Alpha 2" << 8 << false << -50;
        QTest::newRow("other group size") << "2 Alpha" << 7 << true << -50;
        QTest::newRow("above 10") << "11 Alpha" << 8 << true << -50;
    }
    void discNumberInTheName()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(bool, leads);
        QFETCH(int, disc);
        QObject owner;
        IdAudioFile *file = fileWithText(1, name, &owner);
        const QList<IdSegment *> words = nameWords(file, {{1, leads ? size : 1}, {1, leads ? 1 : size}});
        IdSegment *number = words.at(leads ? 0 : 1);
        // The track-number segment itself comes from another list here.
        IdAudioFile *other = fileWithText(1, "07", &owner);
        IdSegment *track = cut(stringOf(other, 1), 0, 0, IdWordCategory::TrackGroupWord, 8);
        file->setSegments(words);
        IdScoringContext context = idScoringContext(file, {file});
        context.trackSegment = track;
        applyNumberEvidence(context);
        QCOMPARE(number->score(IdField::DiscNumber), disc);
    }

    // The word run beside a bracketed year of a folder name or a disc number may be the album.
    void albumNeighbours_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("cuts");   // first word, last word, category, group size per segment
        QTest::addColumn<QList<int>>("albums"); // album score per segment, the number's left out (-1)
        using S = QList<int>;
        const int year = IdWordCategory::YearWord;
        const int disc = IdWordCategory::DiscNumberValue;
        const int key = IdWordCategory::DiscKeyword;
        QTest::newRow("year after the album") << 0 << "Night Songs (1999)" << S{0, 3, 1, 1, 4, 6, year, 1} << S{10, -1};
        QTest::newRow("year before the album") << 0 << "(1999) Night Songs" << S{0, 2, year, 1, 3, 6, 1, 1} << S{-1, 10};
        QTest::newRow("year without brackets") << 0 << "Night Songs 1999" << S{0, 3, 1, 1, 4, 4, year, 1} << S{0, -1};
        QTest::newRow("year of the name") << 1 << "Night Songs (1999)" << S{0, 3, 1, 1, 4, 6, year, 1} << S{0, -1};
        QTest::newRow("no winner") << 0 << "Alpha (1999) Bravo" << S{0, 1, 1, 1, 2, 4, year, 1, 5, 6, 1, 1} << S{0, -1, 0};
        QTest::newRow("the word beats a number") << 0 << "Alpha (1999) 12" << S{0, 1, 1, 1, 2, 4, year, 1, 5, 6, 1, 1} << S{10, -1, 0};
        QTest::newRow("the shared one") << 0 << "Alpha (1999) Bravo" << S{0, 1, 1, 1, 2, 4, year, 1, 5, 6, 1, 3} << S{0, -1, 10};
        QTest::newRow("not across a dash") << 0 << "Alpha - (1999) Bravo" << S{0, 3, 1, 1, 4, 6, year, 1, 7, 8, 1, 1} << S{0, -1, 10};
        QTest::newRow("disc after keyword") << 1 << "Night Songs Disc 2" << S{0, 3, 1, 1, 4, 5, key, 1, 6, 6, disc, 1} << S{10, 0, -1};
    }
    void albumNeighbours()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QList<int>, cuts);
        QFETCH(QList<int>, albums);
        QObject owner;
        IdAudioFile *file = fileWithText(kind, text, &owner);
        QList<IdSegment *> segments;
        for (qsizetype i = 0; i + 3 < cuts.size(); i += 4)
            segments.append(cut(stringOf(file, kind), cuts.at(i), cuts.at(i + 1), cuts.at(i + 2), cuts.at(i + 3)));
        file->setSegments(segments);
        IdScoringContext context = idScoringContext(file, {file});
        applyNumberEvidence(context);
        QList<int> actual = albumScores(segments);
        for (qsizetype i = 0; i < albums.size(); ++i) {
            if (albums.at(i) == -1)
                actual[i] = -1;
        }
        QCOMPARE(actual, albums);
    }

    // The steps in their order over an album folder leave the evidence a person expects.
    void stepsOverAnAlbum()
    {
        QObject owner;
        QList<IdAudioFile *> files;
        const QStringList titles{"Alpha", "Bravo Charlie", "Delta", "Echo", "Foxtrot"};
        for (int i = 0; i < titles.size(); ++i)
            files.append(idTaggedFile(QStringLiteral("/music/Lumens/Night Songs (1999)/%1 - %2.mp3")
                                          .arg(i + 1, 2, 10, QLatin1Char('0'))
                                          .arg(titles.at(i)),
                                      {{int(TagItemType::Artist), {"Lumens"}}}, &owner));
        segmentIdFiles(files, &owner);
        IdScoringGroupCache cache;
        for (const bool firstPass : {true, false}) {
            for (IdAudioFile *file : std::as_const(files)) {
                IdScoringContext context = idScoringContext(file, files, firstPass);
                context.groupCache = &cache;
                runContextSteps(context);
                applyVersionEvidence(context);
                applySourceEvidence(context);
                applyAlbumShareEvidence(context);
                applyNumberEvidence(context);
                applyCategoryAndTextPenalties(context);
                applyTitleTagEvidence(context);
            }
        }
        IdAudioFile *file = files.at(1);
        const QString segments = describeIdSegments(file);
        const auto scoreOf = [file](int kind, const QString &text, int field) {
            IdSegment *segment = idSegmentOf(file, kind, text);
            return segment ? segment->score(field) : -1000;
        };
        QVERIFY2(scoreOf(1, "02 ", IdField::TrackNumber) > 29, qPrintable(segments));
        QVERIFY2(scoreOf(1, " Bravo Charlie", IdField::Title) > 29, qPrintable(segments));
        QVERIFY2(scoreOf(0, "1999", IdField::ReleaseDate) > 29, qPrintable(segments));
        QVERIFY2(scoreOf(2, "Lumens", IdField::Artist) > 29, qPrintable(segments));
        QVERIFY2(scoreOf(0, "music", IdField::Artist) < 0, qPrintable(segments));
    }
};

QTEST_GUILESS_MAIN(TestIdScoringSteps)
#include "tst_idscoringsteps.moc"
