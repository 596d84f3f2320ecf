#include <QtTest>

#include "app/identification/idartistname.h"
#include "app/identification/identificationtextids.h"
#include "app/identification/idtexttests.h"
#include "app/identification/idword.h"
#include "app/identification/idwordlists.h"
#include "libcore/log/logger.h"
#include "libcore/settings/settingsstore.h"

#include "support_identification.h"

#include <atomic>
#include <thread>

namespace {
class CodeCollector : public Logger
{
public:
    void log(const LogMessage &message) override { codes.append(message.code); }
    QList<quint32> codes;
};

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}
} // namespace

// Word lists, the shared text tests and artist names.
class TestIdTexts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpIdentificationTests(); }

    void listsLoadOnceUnderConcurrentFirstUse()
    {
        // The first use of every list happens here, from several threads at once.
        std::atomic<int> found{0};
        std::vector<std::thread> threads;
        for (int i = 0; i < 8; ++i) {
            threads.emplace_back([&found] {
                if (::endsWithTrackNumberWord("Track") && isArticle("the"))
                    ++found;
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        QCOMPARE(found.load(), 8);
    }

    void loadWordList_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("header only, no final line feed") << QByteArray("word") << QStringList();
        QTest::newRow("final line feed is the empty entry") << QByteArray("word\nthe\n") << QStringList{"", "the"};
        QTest::newRow("lines as written") << QByteArray("word\r\nThe,x\r\n a\xc3\xa9") << QStringList{" a\u00e9", "The,x"};
    }
    void loadWordList()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, entries);
        QTemporaryDir dir;
        QStringList loaded = ::loadWordList(writeFile(dir, "list.csv", content)).values();
        loaded.sort();
        QCOMPARE(loaded, entries);
    }

    void missingWordListIsLoggedAndEmpty()
    {
        CodeCollector logger;
        logger.setRegistered(true);
        QVERIFY(::loadWordList(QStringLiteral(":/app/data/noSuchList.csv")).isEmpty());
        QVERIFY(!logger.codes.isEmpty());
        QCOMPARE(logger.codes.last(), WordListUnreadableTextId);
    }

    void packagedListsAreFound()
    {
        // Loaded from the application's package, probed in any case.
        QVERIFY(isArticle("The"));
        QVERIFY(!isArticle("Lumens"));
        QVERIFY(isCommonWord("AND"));
        QVERIFY(isDiscNumberWord("CD"));
        QVERIFY(isNumberBridgeWord("No"));
        QVERIFY(isNumberSeparatorWord("of"));
        QVERIFY(invalidAdditionalWords().contains("unknown"));
    }

    void endsWithTrackNumberWord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("result");
        QTest::newRow("the word alone") << "Track" << true;
        QTest::newRow("seven before") << "1234567Track" << true;
        QTest::newRow("eight before") << "12345678Track" << false;
        QTest::newRow("with a bridge word") << "CD 1 Track No" << true;
        QTest::newRow("bridge without track word") << "Number" << false;
        QTest::newRow("elsewhere") << "Track one" << false;
    }
    void endsWithTrackNumberWord()
    {
        QFETCH(QString, text);
        QFETCH(bool, result);
        QCOMPARE(::endsWithTrackNumberWord(text), result);
    }

    void classifyInvalidWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("result");
        QTest::newRow("additional word and artist word") << "Unknown Artist" << int(InvalidTextClass::InvalidArtist);
        QTest::newRow("additional word and album word") << "untitled album" << int(InvalidTextClass::InvalidAlbum);
        QTest::newRow("single invalid word") << "Unknown" << int(InvalidTextClass::InvalidGeneral);
        QTest::newRow("various artists") << "Various Artists" << int(InvalidTextClass::VariousArtists);
        QTest::newRow("placeholder title") << "Track 1" << int(InvalidTextClass::InvalidGeneral);
        QTest::newRow("below seventy percent") << "Unknown Pleasures" << int(InvalidTextClass::NotInvalid);
        QTest::newRow("real name") << "The Lumens" << int(InvalidTextClass::NotInvalid);
        QTest::newRow("only separators") << " - " << int(InvalidTextClass::InvalidGeneral);
        QTest::newRow("empty") << "" << int(InvalidTextClass::InvalidGeneral);
    }
    void classifyInvalidWords()
    {
        QFETCH(QString, text);
        QFETCH(int, result);
        const QList<IdWord *> words = splitIntoIdWords(text);
        QCOMPARE(int(::classifyInvalidWords(words)), result);
        qDeleteAll(words);
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("small");
        QTest::addColumn<int>("year");
        QTest::newRow("zero") << "0" << -1 << -1;
        QTest::newRow("leading zero") << "07" << 7 << -1;
        QTest::newRow("1899") << "1899" << 1899 << -1;
        QTest::newRow("1900") << "1900" << -1 << 1900;
        QTest::newRow("next year") << "2027" << -1 << 2027;
        QTest::newRow("two years ahead") << "2028" << -1 << -1;
        QTest::newRow("letters") << "12a" << -1 << -1;
        QTest::newRow("negative") << "-5" << -1 << -1;
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(int, small);
        QFETCH(int, year);
        QCOMPARE(smallNumber(text), small);
        QCOMPARE(isYear(text), year); // the date is pinned in 2026
    }

    void yearBoundFollowsTheBuildWhenItIsLater()
    {
        setCurrentDateForTesting(QDate(1990, 1, 1));
        QCOMPARE(isYear(QString::number(buildYear() + 1)), buildYear() + 1);
        QCOMPARE(isYear(QString::number(buildYear() + 2)), -1);
        setUpIdentificationTests();
        QVERIFY(buildYear() >= 2024);
    }

    void cleanUps_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("underscores for blanks") << "underscores" << "Artist_Name - Title" << "Artist Name - Title";
        QTest::newRow("triple underscore is a dash") << "underscores" << "Artist___Title" << "Artist - Title";
        QTest::newRow("underscores beside blanks are hyphens") << "underscores" << "My_Song One" << "My-Song One";
        QTest::newRow("O in numbers") << "letterO" << "1O - 2OO5 Oslo OO o1" << "10 - 2005 Oslo OO 01";
        QTest::newRow("O beside other scripts") << "letterO" << "Альбом 2OO5" << "Альбом 2005";
        QTest::newRow("brackets around all") << "brackets" << "(Title)" << "Title";
        QTest::newRow("empty brackets") << "brackets" << "Title ()" << "Title";
        QTest::newRow("unclosed bracket") << "brackets" << "Title (Live" << "Title (Live)";
        QTest::newRow("stray closer") << "brackets" << "Title) x" << "Title x";
        QTest::newRow("kept brackets") << "brackets" << "- Title [Live] (2004) -" << "Title [Live] (2004)";
        QTest::newRow("nested") << "brackets" << "Title ((Live))" << "Title ((Live))";
        QTest::newRow("trim alphanumeric") << "alphanumeric" << "(\u00e9t\u00e9!) " << "\u00e9t\u00e9";
        QTest::newRow("trim spaces and dashes") << "spacesDashes" << " \u2013 a-b - " << "a-b";
        QTest::newRow("trim to nothing") << "alphanumeric" << "(-)" << "";
    }
    void cleanUps()
    {
        QFETCH(QString, function);
        QFETCH(QString, text);
        QFETCH(QString, result);
        if (function == "underscores")
            QCOMPARE(normalizeUnderscores(text), result);
        else if (function == "letterO")
            QCOMPARE(replaceLetterOInNumbers(text), result);
        else if (function == "brackets")
            QCOMPARE(cleanUpBrackets(text), result);
        else if (function == "alphanumeric")
            QCOMPARE(trimToAlphanumeric(text), result);
        else
            QCOMPARE(trimSpacesAndDashes(text), result);
    }

    void parseArtistName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("atEnd");
        QTest::addColumn<QString>("article");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("front");
        QTest::addColumn<QString>("end");
        QTest::newRow("article at end") << "Lumens, The" << true << "The" << "Lumens" << "The Lumens" << "Lumens, The";
        QTest::newRow("article in front") << "The Lumens" << false << "The" << "Lumens" << "The Lumens" << "Lumens, The";
        QTest::newRow("two words, article at end") << "Quiet Hours, The" << true << "The" << "Quiet Hours"
                                                   << "The Quiet Hours" << "Quiet Hours, The";
        QTest::newRow("surname, first name") << "Smith, John" << true << "John" << "Smith" << "John Smith"
                                             << "Smith, John";
        QTest::newRow("no single word after comma") << "Salt, Pepper & Dill" << false << "" << "Salt, Pepper & Dill"
                                                    << "Salt, Pepper & Dill" << "Salt, Pepper & Dill";
        QTest::newRow("no article, blanks kept") << " Blue Harbour " << false << "" << " Blue Harbour "
                                                 << " Blue Harbour " << " Blue Harbour ";
        QTest::newRow("empty") << "" << false << "" << "" << "" << "";
        QTest::newRow("other script") << "Die Ärzte" << false << "Die" << "Ärzte" << "Die Ärzte" << "Ärzte, Die";
        QTest::newRow("combining mark is a word character") << "Cafe\u0301, Le" << true << "Le" << "Cafe\u0301"
                                                            << "Le Cafe\u0301" << "Cafe\u0301, Le";
    }
    void parseArtistName()
    {
        QFETCH(QString, text);
        QFETCH(bool, atEnd);
        QFETCH(QString, article);
        QFETCH(QString, name);
        QFETCH(QString, front);
        QFETCH(QString, end);
        const IdArtistName parsed(text);
        QCOMPARE(parsed.articleWasAtEnd, atEnd);
        QCOMPARE(parsed.article, article);
        QCOMPARE(parsed.name, name);
        QCOMPARE(parsed.toString(false), front);
        QCOMPARE(parsed.toString(true), end);
    }

    void artistSortKeys()
    {
        QCOMPARE(IdArtistName("The Lumens").sortKey(), QString("lumens"));
        QCOMPARE(IdArtistName("Lumens, The").sortKey(), QString("lumens"));
        QCOMPARE(IdArtistName("Smith, John").sortKey(), IdArtistName("John Smith").sortKey());
        QVERIFY(isSimilarArtistName("The Lumens", "Lumens, The"));
        QVERIFY(isSimilarArtistName("The Beetles", "Beatles, The"));
        QVERIFY(!isSimilarArtistName("The Lumens", "The Quiet Hours"));
        // A placeholder in a member is not filled again.
        IdArtistName name;
        name.article = "%2";
        name.name = "%1";
        QCOMPARE(name.toString(false), QString("%2 %1"));
    }

    void setArticleAndName_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("article");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("front");
        QTest::addColumn<bool>("atEnd");
        // A null text leaves that setter out.
        QTest::newRow("article then name") << "" << "The" << "Lumens" << "The Lumens" << false;
        QTest::newRow("article split off the name") << "=The Lumens" << "the" << QString() << "The Lumens" << false;
        QTest::newRow("name leaves the article in front") << "=The Lumens" << QString() << "Lumens" << "The Lumens"
                                                           << false;
        QTest::newRow("name leaves the article at end") << "=Lumens, The" << QString() << "Lumens" << "The Lumens"
                                                        << true;
        QTest::newRow("same letters replace the name") << "The Lumens" << QString() << "LUMENS!" << "The LUMENS!"
                                                       << false;
        QTest::newRow("article not in the name") << "=Blue Harbour" << "Los" << QString() << "Los Blue Harbour"
                                                 << false;
        QTest::newRow("regex characters taken literally") << "=Mr. (X) Band" << QString() << "(X) Band"
                                                          << "Mr. (X) Band" << false;
    }
    void setArticleAndName()
    {
        QFETCH(QString, start);
        QFETCH(QString, article);
        QFETCH(QString, name);
        QFETCH(QString, front);
        QFETCH(bool, atEnd);
        // "=" sets the name as it stands, without parsing.
        IdArtistName value(start.startsWith('=') ? QString() : start);
        if (start.startsWith('='))
            value.name = start.mid(1);
        if (!article.isNull())
            value.setArticle(article);
        if (!name.isNull())
            value.setName(name);
        QCOMPARE(value.toString(false), front);
        QCOMPARE(value.articleWasAtEnd, atEnd);
    }

    void formattedFollowsTheSetting()
    {
        const IdArtistName name("The Lumens");
        SettingsStore::setValue("identification/artistNameFormat", "3");
        QCOMPARE(name.formatted(), QString("Lumens, The"));
        SettingsStore::setValue("identification/artistNameFormat", "2");
        QCOMPARE(name.formatted(), QString("The Lumens"));
        SettingsStore::setValue("identification/artistNameFormat", "1");
        QCOMPARE(name.formatted(), QString("Lumens, The"));
        SettingsStore::remove("identification/artistNameFormat");
    }

    void artistNameInVariants()
    {
        const QVariant value = IdArtistName("Lumens, The").toVariant();
        QCOMPARE(QString(value.metaType().name()), QString("IdArtistName"));
        QCOMPARE(IdArtistName::fromVariant(value).article, QString("The"));
        QCOMPARE(IdArtistName::fromVariant(QVariant(QString("The Lumens"))).name, QString());
        QCOMPARE(IdArtistName::fromVariant(QVariant()).article, QString());
    }
};

QTEST_GUILESS_MAIN(TestIdTexts)
#include "tst_idtexts.moc"
