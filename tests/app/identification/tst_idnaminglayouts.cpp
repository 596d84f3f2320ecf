#include <QtTest>

#include "app/identification/idartistname.h"
#include "app/identification/idaudiofile.h"
#include "app/identification/idmainhandlerthread.h"
#include "app/identification/idsegment.h"
#include "app/operations/modelupdateoperation.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/textcatalogue.h"
#include "libtagging/model/audiofile.h"

#include "support_identification.h"


namespace {

// "artist|album|title|track|disc" of what a run found for the file.
QString describe(const IdFileFindings &findings)
{
    QStringList values;
    for (int field : {IdField::Artist, IdField::Album, IdField::Title, IdField::TrackNumber, IdField::DiscNumber}) {
        const QVariant value = findings.values.value(field);
        values.append(field == IdField::Artist ? IdArtistName::fromVariant(value).toString(false) : value.toString());
    }
    return values.join(u'|');
}

} // namespace

// Whole offline runs of the identification over files named the ways real collections are:
// numbers with punctuation, disc sub-folders, compilations, scene-style release folders,
// version phrases in titles and the user's music folder above album folders.
class TestIdNamingLayouts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        setUpIdentificationTests();
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        TextCatalogue::applyLanguage(english, english);
    }

    void init() { SettingsStore::reset(); }
    void layouts_data()
    {
        // Paths relative to a root: "~" is the user's music folder, otherwise "/music". Each
        // expected line is "artist|album|title|track|disc" of the file of the same row. Every
        // folder holds four files, as few as still tell a shared word from a title.
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QStringList>("expected");
        const QStringList titles{"Amber", "Birch", "Cedar", "Dune"};
        // The four files of a folder, "%1" the number and "%2" the title in the name pattern;
        // "%1" the title and "%2" the number in the expected pattern.
        const auto folder = [&titles](const QString &path, const QString &name, const QString &line,
                                      QStringList &paths, QStringList &expected, const QStringList &names = {}) {
            for (int i = 0; i < 4; ++i) {
                const QString title = names.isEmpty() ? titles.at(i) : names.at(i);
                const QString number = QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
                paths.append(path + u'/' + QString(name).replace("%1", number).replace("%2", title) + ".mp3");
                expected.append(QString(line).replace("%1", title).replace("%2", QString::number(i + 1)));
            }
        };
        const auto row = [&](const char *tag, const QString &path, const QString &name, const QString &line,
                             const QStringList &names = {}) {
            QStringList paths;
            QStringList expected;
            folder(path, name, line, paths, expected, names);
            QTest::newRow(tag) << paths << expected;
        };
        row("NN. Title", "/Lumens/Quiet Hours", "%1. %2", "Lumens|Quiet Hours|%1|%2|");
        row("NN) Title", "/Lumens/Quiet Hours", "%1) %2", "Lumens|Quiet Hours|%1|%2|");
        row("NN - Title", "/Lumens/Quiet Hours", "%1 - %2", "Lumens|Quiet Hours|%1|%2|");
        {
            QStringList paths;
            QStringList expected;
            const QStringList artists{"Lumens", "Orchid Hall", "The Tarns", "Velvet Moss"};
            for (int i = 0; i < 4; ++i) {
                paths.append(QStringLiteral("/Various Artists - Summer Hits/0%1. %2 - %3.mp3").arg(i + 1).arg(artists.at(i), titles.at(i)));
                expected.append(QStringLiteral("%1|Summer Hits|%2|%3|").arg(artists.at(i), titles.at(i)).arg(i + 1));
            }
            QTest::newRow("NN. Artist - Title compilation") << paths << expected;
        }
        for (const char *disc : {"Disc", "CD"}) {
            QStringList paths;
            QStringList expected;
            folder(QStringLiteral("/Lumens/Quiet Hours/%1 1").arg(disc), "%1 - %2", "Lumens|Quiet Hours|%1|%2|1", paths, expected);
            folder(QStringLiteral("/Lumens/Quiet Hours/%1 2").arg(disc), "%1 - %2", "Lumens|Quiet Hours|%1|%2|2", paths, expected,
                   {"Ember", "Fjord", "Grove", "Harbour"});
            QTest::newRow(qPrintable(QStringLiteral("%1 N sub-folders").arg(disc))) << paths << expected;
        }
        row("scene-style release folder", "/incoming/lumens-quiet_hours-2004-grp", "%1-lumens-%2",
            "lumens|quiet hours|%1|%2|", {"amber", "birch", "cedar", "dune"});
        row("label - artist - album", "/Northlight - Lumens - Quiet Hours", "%1 - Lumens - %2", "Lumens|Quiet Hours|%1|%2|");
        row("version phrases", "/Lumens/Quiet Hours", "%1 - %2", "Lumens|Quiet Hours|%1|%2|",
            {"Northern Lights (Radio Edit)", "Tides (Acoustic Version)", "Harbour", "Ember (Live)"});
        {
            QStringList paths;
            QStringList expected;
            folder("~/Lumens - Quiet Hours (2001)", "%1 - %2", "Lumens|Quiet Hours|%1|%2|", paths, expected);
            folder("~/Orchid Hall - Low Tide (2003)", "%1 - %2", "Orchid Hall|Low Tide|%1|%2|", paths, expected,
                   {"Ember", "Fjord", "Grove", "Harbour"});
            QTest::newRow("music folder above album folders") << paths << expected;
        }
        row("Cyrillic names", "/Кино/Группа крови", "%1 - %2", "Кино|Группа крови|%1|%2|",
            {"Группа крови", "Закрой за мной дверь", "Война", "Спокойная ночь"});
        row("Japanese names", "/森の音/静かな時間", "%1 - %2", "森の音|静かな時間|%1|%2|", {"琥珀", "白樺", "杉", "砂丘"});
    }

    void layouts()
    {
        QFETCH(QStringList, paths);
        QFETCH(QStringList, expected);
        const QString music = IdAudioFile::musicFolder();
        QVERIFY(!music.isEmpty());
        QObject owner;
        QList<AudioFile *> files;
        for (const QString &path : paths)
            files.append(fakeAudioFile(path.startsWith(u'~') ? music + path.mid(1) : "/music" + path, {}, &owner));
        AudioFileSelection selection;
        selection.insert(files, {ModelDataType(TagItemType::Title)});
        ModelUpdateOperation operation(selection);
        QHash<AudioFile *, IdFileFindings> findings;
        IdRunOptions options;
        options.onlineLookup = false;
        options.findings = &findings;
        identifyFiles(files, nullptr, &operation, options);
        QStringList actual;
        for (AudioFile *file : files)
            actual.append(describe(findings.value(file)));
        QCOMPARE(actual, expected);
    }

    // A library's root is never an artist: the same album folders under it read as under the
    // music folder, while under another folder its name becomes the artist.
    void libraryRoot_data()
    {
        QTest::addColumn<bool>("isLibraryRoot");
        QTest::addColumn<QString>("artist");
        QTest::newRow("library root") << true << "Lumens";
        QTest::newRow("other folder") << false << "Collection";
    }

    void libraryRoot()
    {
        QFETCH(bool, isLibraryRoot);
        QFETCH(QString, artist);
        QObject owner;
        QList<AudioFile *> files;
        for (const char *name : {"01 - Amber", "02 - Birch", "03 - Cedar", "04 - Dune"})
            files.append(fakeAudioFile(QStringLiteral("/srv/Collection/Lumens - Quiet Hours (2001)/%1.mp3").arg(QLatin1String(name)), {}, &owner));
        AudioFileSelection selection;
        selection.insert(files, {ModelDataType(TagItemType::Title)});
        ModelUpdateOperation operation(selection);
        QHash<AudioFile *, IdFileFindings> findings;
        IdRunOptions options;
        options.onlineLookup = false;
        options.findings = &findings;
        if (isLibraryRoot)
            options.libraryRoots = QStringList{"/srv/Collection/"};
        identifyFiles(files, nullptr, &operation, options);
        for (AudioFile *file : files)
            QCOMPARE(IdArtistName::fromVariant(findings.value(file).values.value(IdField::Artist)).toString(false), artist);
    }
};

QTEST_GUILESS_MAIN(TestIdNamingLayouts)
#include "tst_idnaminglayouts.moc"
