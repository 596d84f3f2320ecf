#include <QtTest>

#include "libcore/locale/localedefaults.h"
#include "libcore/locale/localetables.h"
#include "libcore/log/logger.h"

namespace {

class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    void log(const LogMessage &message) override { codes.append(message.code); }
    QList<quint32> codes;
};

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace

Q_DECLARE_METATYPE(QLocale)

class TestLocale : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The tables come from the core package beside the executable.
        QVERIFY(QResource::registerResource(QCoreApplication::applicationDirPath() + "/libcore.rcc",
                                            QStringLiteral(":/libcore")));
    }

    void generatedTables()
    {
        QVERIFY(countryTable().size() > 200);
        QVERIFY(languageTable().size() > 150);
        QVERIFY(scriptTable().size() > 100);
        // Qt knows most countries; the values come from its own codes.
        const auto known = std::count_if(countryTable().cbegin(), countryTable().cend(),
                                         [](const CountryInfo &c) { return c.qlocaleCountry != 0; });
        QVERIFY(known > 200);
    }

    void countryCodes_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("alpha-2") << "DE" << "Germany";
        QTest::newRow("lower case") << "de" << "Germany";
        QTest::newRow("alpha-3") << "DEU" << "Germany";
        QTest::newRow("locale name") << "de-DE" << "Germany";
        QTest::newRow("country after the dash") << "en-de" << "Germany";
        QTest::newRow("underscore does not split") << "de_DE" << QString();
        QTest::newRow("empty") << "" << QString();
        QTest::newRow("empty after dash") << "de-" << QString();
        QTest::newRow("not trimmed") << " DE" << QString();
    }

    void countryCodes()
    {
        QFETCH(QString, code);
        QFETCH(QString, name);
        const CountryInfo info = countryByCode(code);
        QCOMPARE(info.name, name);
        QCOMPARE(info.qlocaleCountry, name.isEmpty() ? 0 : int(QLocale::Germany));
    }

    void languageCodes_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("found");
        QTest::newRow("639-1") << "de" << true;
        QTest::newRow("upper case") << "DE" << true;
        QTest::newRow("639-2/B") << "ger" << true;
        QTest::newRow("639-2/T") << "deu" << true;
        QTest::newRow("locale name") << "de-AT" << true;
        QTest::newRow("underscore does not split") << "de_AT" << false;
        QTest::newRow("empty") << "" << false;
    }

    void languageCodes()
    {
        QFETCH(QString, code);
        QFETCH(bool, found);
        const LanguageInfo info = languageByCode(code);
        QCOMPARE(info.iso639_1, found ? QStringLiteral("de") : QString());
        QCOMPARE(info.qlocaleLanguage, found ? int(QLocale::German) : 0);
    }

    // Rows added after the first lookups are found too.
    void languageRowAdded()
    {
        const QString code = QStringLiteral("qaa");
        QCOMPARE(languageByCode(code).name, QString());
        languageTable().append(LanguageInfo(QString(), code, code, QStringLiteral("Local"), 0));
        const QString name = languageByCode(QStringLiteral("QAA")).name;
        languageTable().removeLast();
        QCOMPARE(name, QStringLiteral("Local"));
        QCOMPARE(languageByCode(code).name, QString());
    }

    void scriptsAndNames()
    {
        QCOMPARE(scriptByCode(QStringLiteral("Latn")).qlocaleScript, int(QLocale::LatinScript));
        QVERIFY(scriptByCode(QStringLiteral("latn")).iso15924.isNull());
        QCOMPARE(countryByName(QStringLiteral("Austria")).iso3166_1_A3, QStringLiteral("AUT"));
        QCOMPARE(languageByName(QStringLiteral("French")).iso639_2B, QStringLiteral("fre"));
        QCOMPARE(scriptByName(QStringLiteral("Cyrillic")).iso15924, QStringLiteral("Cyrl"));
        QVERIFY(countryByName(QStringLiteral("austria")).name.isNull());
    }

    void byQLocaleValue()
    {
        QCOMPARE(countryByQLocaleCountry(QLocale::Austria).iso3166_1_A2, QStringLiteral("AT"));
        QCOMPARE(languageByQLocaleLanguage(QLocale::English).iso639_1, QStringLiteral("en"));
        QCOMPARE(scriptByQLocaleScript(QLocale::CyrillicScript).iso15924, QStringLiteral("Cyrl"));

        // Rows Qt does not know keep the value 0 and are found by code, never by value 0.
        countryTable().append(CountryInfo(QStringLiteral("XA"), QStringLiteral("XAA"), QStringLiteral("Extra"), 0));
        QCOMPARE(countryByCode(QStringLiteral("xa-xa")).name, QStringLiteral("Extra"));
        QVERIFY(countryByQLocaleCountry(QLocale::AnyCountry).name.isNull());
        QVERIFY(languageByQLocaleLanguage(QLocale::AnyLanguage).name.isNull());
        QVERIFY(scriptByQLocaleScript(QLocale::AnyScript).name.isNull());
    }

    void displayName_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("C locale") << QLocale::c() << QString();
        QTest::newRow("language and country") << QLocale(QLocale::German, QLocale::Austria)
                                              << QStringLiteral("German, Austria");
        QTest::newRow("unusual script named") << QLocale(QLocale::Serbian, QLocale::LatinScript, QLocale::Serbia)
                                              << QStringLiteral("Serbian, Latin, Serbia");
        // Nheengatu has no ISO 639-2 code, so the language table has no row for it.
        QTest::newRow("language without row") << QLocale(QLocale::Nheengatu) << QString();
    }

    void displayName()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        const QString name = localeDisplayName(locale);
        QCOMPARE(name, expected);
        QCOMPARE(name.isNull(), expected.isNull());
    }

    void readingFiles()
    {
        QTemporaryDir dir;
        const QString countries = writeFile(dir, "countries.csv",
                                            "alpha-2\talpha-3\tname\n"
                                            "DE\tDEU\tGermany\n"
                                            "\n"
                                            "AA\ttwo fields\n"
                                            "XX\tXXX\tNowhere\n"
                                            "AT\tAUT\tAustria\textra\n"
                                            "FR\t\tFrance");
        const QList<CountryInfo> rows = readCountryTable(countries);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].name, QStringLiteral("Germany"));
        QCOMPARE(rows[0].qlocaleCountry, int(QLocale::Germany));
        QCOMPARE(rows[1].qlocaleCountry, 0);
        QCOMPARE(rows[2].qlocaleCountry, int(QLocale::France));
        QVERIFY(rows[2].iso3166_1_A3.isEmpty());

        // A language found by its later code columns when the first is empty or unknown.
        const QString languages = writeFile(dir, "languages.csv",
                                            "1\t2B\t2T\tname\n"
                                            "\tger\tdeu\tGerman\n"
                                            "\tqqq\tqqq\tNone\n");
        const QList<LanguageInfo> langs = readLanguageTable(languages);
        QCOMPARE(langs.size(), 2);
        QCOMPARE(langs[0].qlocaleLanguage, int(QLocale::German));
        QCOMPARE(langs[1].qlocaleLanguage, 0);

        CollectingLogger logger;
        QVERIFY(readScriptTable(dir.filePath("missing.csv")).isEmpty());
        QCOMPARE(logger.codes.size(), 1); // the reading error, logged where it was raised
    }

    void scriptOfLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("script");
        QTest::newRow("German") << int(QLocale::German) << int(QLocale::LatinScript);
        QTest::newRow("Punjabi") << int(QLocale::Punjabi) << int(QLocale::GurmukhiScript);
        QTest::newRow("Russian") << int(QLocale::Russian) << int(QLocale::CyrillicScript);
        QTest::newRow("Chinese") << int(QLocale::Chinese) << int(QLocale::SimplifiedHanScript);
        QTest::newRow("Low German") << int(QLocale::LowGerman) << int(QLocale::LatinScript);
        QTest::newRow("Japanese not listed") << int(QLocale::Japanese) << int(QLocale::AnyScript);
    }

    void scriptOfLanguage()
    {
        QFETCH(int, language);
        QFETCH(int, script);
        QCOMPARE(int(scriptForLanguage(QLocale::Language(language))), script);
    }

    void defaults()
    {
        QCOMPARE(defaultLanguageForScript(QLocale::TraditionalHanScript), QLocale::Chinese);
        QCOMPARE(defaultLanguageForScript(QLocale::DeseretScript), QLocale::English);
        QCOMPARE(defaultLanguageForScript(QLocale::CherokeeScript), QLocale::Cherokee);
        QCOMPARE(defaultLanguageForScript(QLocale::AnyScript), QLocale::AnyLanguage);
        QCOMPARE(defaultCountryForLanguage(QLocale::German), QLocale::Germany);
        QCOMPARE(defaultCountryForLanguage(QLocale::C), QLocale::AnyCountry);
        QCOMPARE(defaultCountryForScript(QLocale::CyrillicScript), QLocale::Russia);
        QCOMPARE(defaultLanguageForCountry(QLocale::Austria), QLocale::German);
        QCOMPARE(defaultLanguageForCountry(QLocale::AnyCountry), QLocale::AnyLanguage);
        QCOMPARE(scriptForCountry(QLocale::Ukraine), QLocale::CyrillicScript);
        QCOMPARE(effectiveLanguage(QLocale::c()), QLocale::AnyLanguage);
        QCOMPARE(effectiveScript(QLocale::c()), QLocale::AnyScript);
        QCOMPARE(effectiveCountry(QLocale::c()), QLocale::AnyCountry);
        QCOMPARE(effectiveCountry(QLocale(QLocale::French)), QLocale::France);
    }

    void matchScore_data()
    {
        QTest::addColumn<QLocale>("a");
        QTest::addColumn<QLocale>("b");
        QTest::addColumn<int>("score");
        const QLocale enUs(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("equal") << enUs << enUs << 100;
        QTest::newRow("C locales: no weights") << QLocale::c() << QLocale::c() << 100;
        // Language 15 x 10 (German's script defaults to English), script 100 x 4, country 0 x 3.
        QTest::newRow("English and German") << enUs << QLocale(QLocale::German, QLocale::Germany) << 32;
        // Country 20 x 3: the United States are English's default country.
        QTest::newRow("English in two countries") << enUs << QLocale(QLocale::English, QLocale::UnitedKingdom) << 85;
        QTest::newRow("default country filled in") << QLocale(QLocale::French, QLocale::France)
                                                   << QLocale(QLocale::French) << 100;
        // Language 100 x 10, script 0 x 4, country 100 x 3.
        QTest::newRow("other script") << QLocale(QLocale::Serbian, QLocale::LatinScript, QLocale::Serbia)
                                      << QLocale(QLocale::Serbian, QLocale::CyrillicScript, QLocale::Serbia) << 76;
        // Nothing in common: no language, script or country score.
        QTest::newRow("unrelated") << QLocale(QLocale::Japanese, QLocale::Japan) << QLocale(QLocale::German, QLocale::Germany) << 0;
    }

    void matchScore()
    {
        QFETCH(QLocale, a);
        QFETCH(QLocale, b);
        QFETCH(int, score);
        QCOMPARE(localeMatchScore(a, b), score);
        QCOMPARE(localeMatchScore(b, a), score);
    }
};

QTEST_GUILESS_MAIN(TestLocale)
#include "tst_locale.moc"
