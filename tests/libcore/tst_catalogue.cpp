#include <QtTest>

#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/text/textcatalogue.h"
#include "libcore/text/texttable.h"
#include "shared/support_skip.h"

namespace {

class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    void log(const LogMessage &message) override { codes.append(message.code); }
    QList<quint32> codes;
};

const QLocale enUs(QLocale::English, QLocale::UnitedStates);

QString writeTable(const QTemporaryDir &dir, const QString &name, const QString &body)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<text>" + body + "</text>\n").toUtf8());
    return path;
}

// Builds a resource package holding one text table, with Qt's own resource compiler.
QString makePackage(const QTemporaryDir &dir, const QString &name, const QString &tableBody)
{
    const QString rcc = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + "/rcc";
    if (!QFileInfo::exists(rcc))
        return QString();
    const QString source = dir.filePath(name + "-src");
    QDir().mkpath(source + "/text");
    QFile::rename(writeTable(dir, name + ".xml", tableBody), source + "/text/text.xml");
    QFile qrc(source + "/p.qrc");
    if (!qrc.open(QIODevice::WriteOnly))
        return QString();
    qrc.write("<RCC><qresource prefix=\"/\"><file>text/text.xml</file></qresource></RCC>");
    qrc.close();
    const QString out = dir.filePath(name + ".rcc");
    if (QProcess::execute(rcc, {"--binary", "-o", out, qrc.fileName()}) != 0)
        return QString();
    return out;
}

struct CodeUse {
    QString file;
    quint32 id;
    int arguments; // -1 when the call does not show them as a braced list
};

// Number of top-level entries of the braced list that starts at text[open].
int countBracedEntries(const QString &text, qsizetype open)
{
    int depth = 0;
    int commas = 0;
    bool content = false;
    QChar quote;
    for (qsizetype i = open; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            if (c == u'\\')
                ++i;
            else if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            content = true;
        } else if (c == u'{' || c == u'(' || c == u'[') {
            if (depth > 0)
                content = true;
            ++depth;
        } else if (c == u'}' || c == u')' || c == u']') {
            if (--depth == 0)
                return content ? commas + 1 : 0;
        } else if (c == u',' && depth == 1) {
            ++commas;
        } else if (!c.isSpace()) {
            content = true;
        }
    }
    return -1;
}

// Every text id the libraries and the application pass to Exception and Logger calls,
// literally or through a named constant of the same file.
QList<CodeUse> codeUses()
{
    static const QRegularExpression constant(
        QStringLiteral("\\b(?:quint32|uint|unsigned|auto)\\s+(\\w+)\\s*=\\s*(\\d+)u?\\s*;"));
    static const QRegularExpression call(QStringLiteral(
        "\\b(Exception|Logger::(?:info|warning|error))\\s*(?:\\w+\\s*)?[({]\\s*(\\w+)\\s*([,)}])"));
    QList<CodeUse> uses;
    for (const char *folder : {"libcore", "libtagging", "libgui", "app"}) {
        QDirIterator it(QStringLiteral(MELO_SOURCE_DIR "/") + folder, {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(file.readAll());
            QHash<QString, quint32> constants;
            for (const auto &m : constant.globalMatch(text))
                constants.insert(m.captured(1), m.captured(2).toUInt());
            for (const auto &m : call.globalMatch(text)) {
                bool numeric = false;
                quint32 id = m.captured(2).toUInt(&numeric);
                if (!numeric)
                    id = constants.value(m.captured(2));
                if (id == 0)
                    continue;
                int arguments = m.captured(3) == u"," ? -1 : 0;
                if (arguments < 0) {
                    qsizetype next = m.capturedEnd(3);
                    while (next < text.size() && text.at(next).isSpace())
                        ++next;
                    if (next < text.size() && text.at(next) == u'{')
                        arguments = countBracedEntries(text, next);
                }
                uses.append({QDir(MELO_SOURCE_DIR).relativeFilePath(path), id, arguments});
            }
        }
    }
    return uses;
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The real packages beside the executable, as the application mounts them.
        QStringList packages;
        for (const char *name : {"libcore.rcc", "libgui.rcc", "libtagging.rcc"}) {
            if (QFileInfo::exists(QCoreApplication::applicationDirPath() + "/" + name))
                packages.append(QString::fromLatin1(name));
        }
        QVERIFY(packages.contains("libcore.rcc"));
        registerResourceFiles(packages);
        registerResourceFile(QStringLiteral("melotaxonic.rcc"), QStringLiteral(":/app"));
        QVERIFY(QFileInfo::exists(QStringLiteral(":/libcore/text/text.xml")));
    }

    void everyCodeIdHasEnglishText()
    {
        TextCatalogue::applyLanguage(enUs, enUs);
        const QList<CodeUse> uses = codeUses();
        QVERIFY(uses.size() >= 5); // the scan finds the calls at all
        static const QRegularExpression placeholder(QStringLiteral("%L?(\\d+)"));
        QStringList faults;
        for (const CodeUse &use : uses) {
            const QString text = textForId(use.id);
            if (text.isEmpty()) {
                faults.append(QStringLiteral("%1: %2 has no English text").arg(use.file).arg(use.id));
                continue;
            }
            if (use.arguments < 0)
                continue;
            QSet<int> numbers;
            for (const auto &m : placeholder.globalMatch(text))
                numbers.insert(m.captured(1).toInt());
            QSet<int> expected;
            for (int i = 1; i <= use.arguments; ++i)
                expected.insert(i);
            if (numbers != expected)
                faults.append(QStringLiteral("%1: %2 is given %3 arguments for \"%4\"")
                                  .arg(use.file).arg(use.id).arg(use.arguments).arg(text));
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    void choice_data()
    {
        QTest::addColumn<QString>("translations");
        QTest::addColumn<QLocale>("primary");
        QTest::addColumn<QString>("expected");
        const QString deEn = R"(<tr l="de">de</tr><tr l="en">en</tr>)";
        QTest::newRow("language without country") << deEn << QLocale(QLocale::German, QLocale::Austria) << "de";
        QTest::newRow("first of the language")
            << R"(<tr l="pt-BR">BR</tr><tr l="pt">PT</tr>)" << QLocale(QLocale::Portuguese, QLocale::Angola) << "BR";
        QTest::newRow("country preferred")
            << R"(<tr l="en">en</tr><tr l="en_GB">GB</tr>)" << QLocale(QLocale::English, QLocale::UnitedKingdom) << "GB";
        QTest::newRow("fallback") << R"(<tr l="fr">fr</tr><tr l="en">en</tr>)" << QLocale(QLocale::German) << "en";
        QTest::newRow("no text") << R"(<tr l="fr">fr</tr>)" << QLocale(QLocale::German) << "";
        QTest::newRow("empty translation passed over")
            << R"(<tr l="de-AT"></tr><tr l="de"/><tr l="de">zwei</tr>)" << QLocale(QLocale::German, QLocale::Austria)
            << "zwei";
        QTest::newRow("unknown code") << R"(<tr l="xx-YY">x</tr>)" << QLocale(QLocale::German) << "";
    }

    void choice()
    {
        QFETCH(QString, translations);
        QFETCH(QLocale, primary);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        TextCatalogue::clear();
        TextCatalogue::load(writeTable(dir, "t.xml", "<t><id>5</id>" + translations + "</t>"));
        TextCatalogue::applyLanguage(primary, enUs);
        QCOMPARE(textForId(5), expected);
        QCOMPARE(TextTable::table().contains(5), !expected.isEmpty());
    }

    void ids_data()
    {
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QList<quint32>>("expected");
        QTest::newRow("decimal") << "<id>26</id>" << QList<quint32>{26};
        QTest::newRow("hexadecimal") << "<id>0x1a</id>" << QList<quint32>{26};
        QTest::newRow("octal") << "<id>032</id>" << QList<quint32>{26};
        QTest::newRow("invalid octal") << "<id>08</id>" << QList<quint32>{};
        QTest::newRow("no id") << "" << QList<quint32>{};
        QTest::newRow("too large") << "<id>4294967296</id>" << QList<quint32>{};
        QTest::newRow("largest") << "<id>4294967295</id>" << QList<quint32>{4294967295u};
        QTest::newRow("two ids share texts") << "<id>5</id><id>x</id><id>6</id>" << QList<quint32>{5, 6};
    }

    void ids()
    {
        QFETCH(QString, ids);
        QFETCH(QList<quint32>, expected);
        QTemporaryDir dir;
        TextCatalogue::clear();
        TextCatalogue::load(writeTable(dir, "t.xml", "<t>" + ids + R"(<tr l="en">hello</tr></t><other/>)"));
        TextCatalogue::applyLanguage(enUs, enUs);
        QList<quint32> found;
        for (const TextEntry &entry : TextCatalogue::entries())
            found.append(entry.id);
        QCOMPARE(found, expected);
        for (quint32 id : expected)
            QCOMPARE(textForId(id), QStringLiteral("hello"));
    }

    void duplicateIds_data()
    {
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("argument");
        QTest::newRow("decimal 5") << "<t><id>5</id><tr l=\"en\">b</tr></t>" << "5";
        QTest::newRow("255 in hexadecimal") << "<t><id>0xff</id><tr l=\"en\">b</tr></t>" << "ff";
        QTest::newRow("the built-in text") << "<t><id>868660387</id><tr l=\"en\">b</tr></t>" << "33c6b4a3";
    }

    void duplicateIds()
    {
        QFETCH(QString, second);
        QFETCH(QString, argument);
        QTemporaryDir dir;
        TextCatalogue::clear();
        TextCatalogue::load(writeTable(dir, "a.xml", R"(<t><id>5</id><id>255</id><tr l="en">a</tr></t>)"));
        TextCatalogue::load(writeTable(dir, "b.xml", second + R"(<t><id>7</id><tr l="en">c</tr></t>)"));
        CollectingLogger logger;
        try {
            TextCatalogue::applyLanguage(enUs, enUs);
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, 521231605u);
            QCOMPARE(e.arguments, QVariantList{argument});
        }
        QCOMPARE(logger.codes, QList<quint32>{521231605u});
        QCOMPARE(textForId(5), QStringLiteral("a")); // stored before the duplicate
        QVERIFY(textForId(7).isEmpty());             // never reached
    }

    void builtInText()
    {
        TextCatalogue::clear();
        TextCatalogue::applyLanguage(QLocale(QLocale::German, QLocale::Germany), enUs);
        QCOMPARE(textForId(868660387), QStringLiteral("Fehler beim Laden der Anwendungs-Ressourcendatei %1."));
        TextCatalogue::applyLanguage(QLocale(QLocale::French), enUs);
        QCOMPARE(textForId(868660387), QStringLiteral("Failed to load application resource file %1."));
    }

    void missingPackage()
    {
        TextCatalogue::clear();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Austria));
        CollectingLogger logger;
        try {
            registerResourceFile(QStringLiteral("missing.rcc"), QStringLiteral(":/missing"));
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, 868660387u);
            QCOMPARE(e.arguments, QVariantList{QStringLiteral("missing.rcc")});
            QCOMPARE(e.message(), QStringLiteral("Fehler beim Laden der Anwendungs-Ressourcendatei missing.rcc."));
        }
        QLocale::setDefault(QLocale::c());
        QCOMPARE(logger.codes, QList<quint32>{868660387u});
    }

    void packages()
    {
        QTemporaryDir dir;
        const QString first = makePackage(dir, "first", R"(<t><id>5</id><tr l="en">five</tr></t>)");
        const QString second = makePackage(dir, "second", R"(<t><id>5</id><tr l="en">again</tr></t>)");
        if (first.isEmpty() || second.isEmpty())
            MELO_SKIP_TOOL("Qt's resource compiler is not available");
        QLocale::setDefault(enUs);

        TextCatalogue::clear();
        registerResourceFiles({first});
        QVERIFY(QFileInfo::exists(QStringLiteral(":/first/text/text.xml")));
        QCOMPARE(textForId(5), QStringLiteral("five"));

        // The duplicate's own text is not loaded, so the package error stands in for it.
        CollectingLogger logger;
        try {
            registerResourceFile(second, QStringLiteral(":/second"));
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, 868660387u);
            QCOMPARE(e.arguments, QVariantList{second});
        }
        QCOMPARE(logger.codes, (QList<quint32>{521231605u, 868660387u}));

        // With the core texts loaded the duplicate-id error itself passes through.
        TextCatalogue::clear();
        TextCatalogue::load(QStringLiteral(":/libcore/text/text.xml"));
        registerResourceFile(first, QStringLiteral(":/first2"));
        try {
            registerResourceFile(second, QStringLiteral(":/second2"));
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, 521231605u);
            QCOMPARE(e.arguments, QVariantList{QStringLiteral("5")});
        }
        QLocale::setDefault(QLocale::c());
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
