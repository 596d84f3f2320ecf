#include <QtTest>

#include <QPointer>

#include <cmath>

#include "app/shell/builddate.h"
#include "app/webservice/dbalbum.h"
#include "app/webservice/dbalbumgroup.h"
#include "app/webservice/dbartist.h"
#include "app/webservice/dbmedium.h"
#include "app/webservice/dbtrack.h"
#include "libcore/locale/localetables.h"
#include "libcore/settings/settingsstore.h"
#include "support_testservice.h"

namespace {

struct MediumSpec
{
    int format = 1;
    int tracks = 0;
};

// A release of `group` with the media and events given.
DbAlbum *addAlbum(DbAlbumGroup *group, int status, const QList<MediumSpec> &media,
                  const QMap<QString, PartialDateTime> &events = {})
{
    auto *album = new DbAlbum(group);
    album->group = group;
    album->status = status;
    album->releaseEvents = events;
    QList<DbMedium *> list;
    for (const MediumSpec &spec : media) {
        auto *medium = new DbMedium;
        medium->album = album;
        medium->format = spec.format;
        medium->position = int(list.size()) + 1;
        QList<DbTrack *> tracks;
        for (int i = 0; i < spec.tracks; ++i) {
            auto *track = new DbTrack;
            track->medium = medium;
            track->position = i + 1;
            tracks.append(track);
        }
        medium->setTracks(tracks);
        list.append(medium);
    }
    album->setMedia(list);
    group->setAlbums(group->albums + QList<DbAlbum *>{album});
    return album;
}

int latestYear()
{
    return qMax(QDate::currentDate().year(), buildYear());
}

double age(int year)
{
    const int k = latestYear() - year;
    return k > 0 ? 1.0 - std::pow(0.925, k) : 0.0;
}

using Events = QMap<QString, PartialDateTime>;

} // namespace

class TestDbRecords : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void typeDescription_data();
    void typeDescription();
    void displayTexts();
    void ownership();
    void formatScore_data();
    void formatScore();
    void dateScore_data();
    void dateScore();
    void countryScore_data();
    void countryScore();
    void typeScores_data();
    void typeScores();
    void trackCounts_data();
    void trackCounts();
    void score();
    void bestAlbum();
};

void TestDbRecords::initTestCase()
{
    initWebServiceTest();
}

void TestDbRecords::init()
{
    SettingsStore::reset();
    SettingsStore::setValue(QStringLiteral("preferredLocale"), QStringLiteral("de_AT"));
}

void TestDbRecords::typeDescription_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QList<int>>("secondary");
    QTest::addColumn<int>("primary");
    QTest::addColumn<QString>("text");
    QTest::newRow("everything, live first") << 2 << QList<int>{7, 6, 2, 6} << 1
                                            << "Promotion live soundtrack remix album";
    QTest::newRow("official: nothing") << 1 << QList<int>() << 11 << "";
    QTest::newRow("no status") << 0 << QList<int>{1} << 2 << "Compilation single";
    QTest::newRow("status only") << 3 << QList<int>() << 11 << "Bootleg";
    QTest::newRow("unknown codes") << 9 << QList<int>{99} << 5 << "";
}

void TestDbRecords::typeDescription()
{
    QFETCH(int, status);
    QFETCH(QList<int>, secondary);
    QFETCH(int, primary);
    QFETCH(QString, text);
    DbAlbumGroup group;
    group.status = 1;
    group.secondaryTypes = secondary;
    group.primaryType = primary;
    QCOMPARE(group.typeDescription(status), text);
    DbAlbum *album = addAlbum(&group, status, {});
    QCOMPARE(album->typeDescription(), text); // the release's own status counts
    album->group = nullptr;
    QCOMPARE(album->typeDescription(), QString());
}

void TestDbRecords::displayTexts()
{
    DbAlbumGroup group;
    DbAlbum *album = addAlbum(&group, 1, {{1, 10}, {12, 3}, {1, 12}},
                              {{"US", PartialDateTime(1999)}, {"GB", PartialDateTime(1998, 5)},
                               {"XW", PartialDateTime()}, {"DE", PartialDateTime(1998, 5)}, {"", PartialDateTime()}});
    QCOMPARE(album->releaseDate(), PartialDateTime(1998, 5));
    QCOMPARE(album->tracks().size(), 25);
    QCOMPARE(album->tracks().at(10)->medium, album->media.at(1));
    QCOMPARE(album->trackCountText(), QStringLiteral("10 + 3 + 12"));
    QCOMPARE(album->formatText(), QStringLiteral("2×CD + Digital media"));
    QStringList countries{countryByCode("DE").name, countryByCode("GB").name, countryByCode("US").name};
    std::sort(countries.begin(), countries.end());
    QVERIFY(!countries.contains(QString()));
    QCOMPARE(album->countryText(), countries.join(QStringLiteral(", ")));

    DbAlbum *unknown = addAlbum(&group, 0, {{13, 1}});
    QCOMPARE(unknown->formatText(), QStringLiteral("Unknown format"));
    QCOMPARE(unknown->media.first()->displayName(), QStringLiteral("Disc 1"));
    QCOMPARE(unknown->releaseDate(), PartialDateTime());
    QCOMPARE(addAlbum(&group, 0, {})->trackCountText(), QString());

    DbMedium *medium = album->media.at(1);
    medium->position = 2;
    medium->format = 1;
    QCOMPARE(medium->displayName(), QStringLiteral("CD 2"));
    medium->title = QStringLiteral("bonus");
    QCOMPARE(medium->displayName(), QStringLiteral("CD 2: bonus"));

    DbArtist artist;
    artist.name = QStringLiteral("Ann");
    QCOMPARE(artist.displayName(), QStringLiteral("Ann"));
    artist.comment = QStringLiteral("the singer");
    QCOMPARE(artist.displayName(), QStringLiteral("Ann (the singer)"));

    group.primaryType = 1;
    group.status = 1;
    QVERIFY(group.isOfficialAlbum());
    group.secondaryTypes = {2};
    QVERIFY(!group.isOfficialAlbum());
    QVERIFY(group.hasNoArtists());
}

void TestDbRecords::ownership()
{
    auto *group = new DbAlbumGroup;
    DbAlbum *first = addAlbum(group, 1, {{1, 2}});
    QPointer<DbTrack> track = first->tracks().first();
    QPointer<DbMedium> medium = first->media.first();
    QCOMPARE(medium->parent(), first);
    QCOMPARE(track->parent(), medium.data());
    // Replacing the releases keeps the old ones as children of the group.
    QPointer<DbAlbum> old = first;
    group->setAlbums({});
    QVERIFY(old);
    QCOMPARE(old->parent(), group);
    delete group;
    QVERIFY(!old);
    QVERIFY(!medium);
    QVERIFY(!track);
}

void TestDbRecords::formatScore_data()
{
    QTest::addColumn<QList<int>>("formats");
    QTest::addColumn<PartialDateTime>("date");
    QTest::addColumn<double>("score");
    QTest::newRow("vinyl 1990") << QList<int>{73} << PartialDateTime(1990) << 0.79;
    QTest::newRow("vinyl 1983") << QList<int>{73} << PartialDateTime(1983, 12) << 1.0;
    QTest::newRow("vinyl 1993") << QList<int>{73} << PartialDateTime(1993) << 0.7;
    QTest::newRow("vinyl 2001") << QList<int>{73} << PartialDateTime(2001) << 0.7;
    QTest::newRow("vinyl undated") << QList<int>{73} << PartialDateTime() << 0.7;
    QTest::newRow("two CDs") << QList<int>{1, 1} << PartialDateTime() << 0.9;
    QTest::newRow("three CDs") << QList<int>{1, 1, 1} << PartialDateTime() << 0.81;
    QTest::newRow("CD and cassette") << QList<int>{1, 8} << PartialDateTime() << 0.495;
    QTest::newRow("weights") << QList<int>{12, 3, 4} << PartialDateTime() << (0.9 + 0.75 + 0.5) / 3 * 0.81;
    QTest::newRow("unknown format") << QList<int>{99} << PartialDateTime() << 0.0;
    QTest::newRow("no media") << QList<int>() << PartialDateTime() << 0.0;
}

void TestDbRecords::formatScore()
{
    QFETCH(QList<int>, formats);
    QFETCH(PartialDateTime, date);
    QFETCH(double, score);
    DbAlbumGroup group;
    QList<MediumSpec> media;
    for (int format : formats)
        media.append({format, 1});
    const DbAlbum *album = addAlbum(&group, 1, media, {{"US", date}});
    QVERIFY2(qAbs(album->formatScore() - score) < 1e-9, qPrintable(QString::number(album->formatScore())));
}

void TestDbRecords::dateScore_data()
{
    QTest::addColumn<PartialDateTime>("first");
    QTest::addColumn<PartialDateTime>("release");
    QTest::addColumn<double>("score");
    const int y = latestYear();
    QTest::newRow("this year") << PartialDateTime() << PartialDateTime(y, 1) << 0.0;
    QTest::newRow("next year") << PartialDateTime() << PartialDateTime(y + 1) << 0.0;
    QTest::newRow("ten years ago") << PartialDateTime() << PartialDateTime(y - 10) << (1 - std::pow(0.925, 10)) / 2;
    QTest::newRow("undated") << PartialDateTime(2000) << PartialDateTime() << 0.0;
    QTest::newRow("14 days after the first") << PartialDateTime(2000, 1, 1) << PartialDateTime(2000, 1, 15)
                                             << (1.0 + age(2000)) / 2;
    QTest::newRow("20 days after") << PartialDateTime(2000, 1, 1) << PartialDateTime(2000, 1, 21)
                                   << (0.7 + age(2000)) / 2;
    QTest::newRow("180 days after") << PartialDateTime(2000, 1, 1) << PartialDateTime(2000, 6, 29)
                                    << (0.3 + age(2000)) / 2;
    QTest::newRow("181 days after") << PartialDateTime(2000, 1, 1) << PartialDateTime(2000, 6, 30)
                                    << (0.0 + age(2000)) / 2;
    QTest::newRow("before the first") << PartialDateTime(2000, 6, 1) << PartialDateTime(1999)
                                      << (1.0 + age(1999)) / 2;
}

void TestDbRecords::dateScore()
{
    QFETCH(PartialDateTime, first);
    QFETCH(PartialDateTime, release);
    QFETCH(double, score);
    DbAlbumGroup group;
    group.firstReleaseDate = first;
    const DbAlbum *album = addAlbum(&group, 1, {}, {{"US", release}});
    QVERIFY2(qAbs(album->dateScore() - score) < 1e-9, qPrintable(QString::number(album->dateScore())));
}

void TestDbRecords::countryScore_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("countries");
    QTest::addColumn<double>("score");
    QTest::newRow("own country") << "de_AT" << QStringList{"AT", "US"} << 1.0;
    QTest::newRow("worldwide") << "de_AT" << QStringList{"XW", "US"} << 0.9;
    QTest::newRow("United States") << "de_AT" << QStringList{"US", "GB"} << 0.8;
    QTest::newRow("Europe") << "de_AT" << QStringList{"XE", "FR"} << 0.7;
    QTest::newRow("Great Britain first") << "de_AT" << QStringList{"DE", "GB"} << 0.6;
    QTest::newRow("Germany") << "de_AT" << QStringList{"DE"} << 0.5;
    QTest::newRow("no country") << "de_AT" << QStringList{""} << 0.0;
    QTest::newRow("other") << "de_AT" << QStringList{"JP"} << 0.0;
    QTest::newRow("own country from another locale") << "ja_JP" << QStringList{"JP"} << 1.0;
}

void TestDbRecords::countryScore()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, countries);
    QFETCH(double, score);
    SettingsStore::setValue(QStringLiteral("preferredLocale"), locale);
    DbAlbumGroup group;
    Events events;
    for (const QString &country : countries)
        events.insert(country, PartialDateTime(2000));
    QCOMPARE(addAlbum(&group, 1, {}, events)->countryScore(), score);
}

void TestDbRecords::typeScores_data()
{
    QTest::addColumn<int>("primary");
    QTest::addColumn<QList<int>>("secondary");
    QTest::addColumn<double>("primaryScore");
    QTest::addColumn<double>("secondaryScore");
    QTest::newRow("album") << 1 << QList<int>() << 1.0 << 1.0;
    QTest::newRow("single, soundtrack") << 2 << QList<int>{2} << 0.25 << 0.85;
    QTest::newRow("EP, compilation") << 3 << QList<int>{1} << 0.75 << 0.75;
    QTest::newRow("mixed") << 11 << QList<int>{1, 6, 2} << 0.0 << 0.35;
    QTest::newRow("never below 0") << 12 << QList<int>{1, 6, 7, 8, 9, 10} << 0.0 << 0.0;
}

void TestDbRecords::typeScores()
{
    QFETCH(int, primary);
    QFETCH(QList<int>, secondary);
    DbAlbumGroup group;
    group.primaryType = primary;
    group.secondaryTypes = secondary;
    const DbAlbum *album = addAlbum(&group, 1, {});
    QTEST(album->primaryTypeScore(), "primaryScore");
    QFETCH(double, secondaryScore);
    QVERIFY(qAbs(album->secondaryTypeScore() - secondaryScore) < 1e-9);
}

void TestDbRecords::trackCounts_data()
{
    QTest::addColumn<QList<int>>("media");
    QTest::addColumn<int>("wanted");
    QTest::addColumn<int>("fit");
    QTest::addColumn<double>("match");
    QTest::newRow("one disc of two fits") << QList<int>{10, 12} << 12 << 2 << 1.0;
    QTest::newRow("whole release fits") << QList<int>{6, 6} << 12 << 2 << 1.0;
    QTest::newRow("more than wanted") << QList<int>{14} << 12 << 1 << 0.25;
    QTest::newRow("fewer than wanted") << QList<int>{11} << 12 << 0 << 0.5;
    QTest::newRow("no media") << QList<int>() << 12 << 0 << std::pow(0.5, 12);
    QTest::newRow("no wish") << QList<int>{3} << 0 << 1 << 1.0;
}

void TestDbRecords::trackCounts()
{
    QFETCH(QList<int>, media);
    QFETCH(int, wanted);
    DbAlbumGroup group;
    QList<MediumSpec> specs;
    for (int count : media)
        specs.append({1, count});
    const DbAlbum *album = addAlbum(&group, 1, specs);
    QTEST(album->trackCountFit(wanted), "fit");
    QTEST(album->trackCountMatch(wanted), "match");
}

void TestDbRecords::score()
{
    DbAlbumGroup group;
    group.primaryType = 3;
    group.secondaryTypes = {2};
    group.firstReleaseDate = PartialDateTime(2000, 1, 1);
    const DbAlbum *album = addAlbum(&group, 1, {{1, 11}}, {{"US", PartialDateTime(2000, 1, 10)}});
    const double common = 0.2 * 0.75 + 0.85 * 0.2 + 1.0 * 0.15 + (1.0 + age(2000)) / 2 * 0.2 + 0.8 * 0.05;
    QVERIFY(qAbs(album->score(0) - (common + 0.2)) < 1e-9);
    QVERIFY(qAbs(album->score(12) - (common + 0.5 * 0.2)) < 1e-9);
}

void TestDbRecords::bestAlbum()
{
    DbAlbumGroup group;
    group.primaryType = 1;
    QCOMPARE(group.bestAlbum(0), nullptr);
    DbAlbum *bootleg = addAlbum(&group, 3, {{1, 12}}, {{"AT", PartialDateTime(2000)}});
    QCOMPARE(group.bestAlbum(12), bootleg);
    // Official beats a better score.
    DbAlbum *official = addAlbum(&group, 1, {{8, 3}}, {{"JP", PartialDateTime()}});
    QVERIFY(official->score(12) < bootleg->score(12));
    QCOMPARE(group.bestAlbum(12), official);
    // Between official releases the fit wins over the score, when a count is wanted.
    DbAlbum *fitting = addAlbum(&group, 1, {{8, 12}});
    QVERIFY(fitting->score(12) < official->score(12) || fitting->trackCountFit(12) == 2);
    QCOMPARE(group.bestAlbum(12), fitting);
    QCOMPARE(group.bestAlbum(0), official->score(0) >= fitting->score(0) ? official : fitting);
    // Equal scores keep the earlier release.
    DbAlbum *twin = addAlbum(&group, 1, {{8, 12}});
    QCOMPARE(group.bestAlbum(12), fitting);
    QVERIFY(!twin->isBetterThan(*fitting, 12));
    QVERIFY(!fitting->isBetterThan(*twin, 12));
}

QTEST_GUILESS_MAIN(TestDbRecords)
#include "tst_dbrecords.moc"
