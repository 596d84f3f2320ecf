#include "libcore/locale/localetables.h"

#include <QHash>
#include <QMutex>

#include "libcore/io/wholefile.h"
#include "libcore/log/exception.h"
#include "libcore/text/utf8textcodec.h"

namespace {

// Code to enumeration value, from Qt's own locale data: the enumeration numbers changed
// between Qt versions, the ISO codes did not.
const QHash<QString, int> &countryCodeMap()
{
    static const QHash<QString, int> map = [] {
        QHash<QString, int> m;
        for (int v = 1; v <= int(QLocale::LastTerritory); ++v) {
            const QString code = QLocale::territoryToCode(QLocale::Territory(v));
            if (!code.isEmpty())
                m.insert(code, v);
        }
        return m;
    }();
    return map;
}

const QHash<QString, int> &languageCodeMap()
{
    static const QHash<QString, int> map = [] {
        QHash<QString, int> m;
        const QLocale::LanguageCodeTypes types[] = {QLocale::ISO639Part1, QLocale::ISO639Part2B,
                                                    QLocale::ISO639Part2T, QLocale::ISO639Part3};
        for (int v = 2; v <= int(QLocale::LastLanguage); ++v) {
            for (const QLocale::LanguageCodeTypes type : types) {
                const QString code = QLocale::languageToCode(QLocale::Language(v), type);
                if (!code.isEmpty())
                    m.insert(code, v);
            }
        }
        return m;
    }();
    return map;
}

const QHash<QString, int> &scriptCodeMap()
{
    static const QHash<QString, int> map = [] {
        QHash<QString, int> m;
        for (int v = 1; v <= int(QLocale::LastScript); ++v) {
            const QString code = QLocale::scriptToCode(QLocale::Script(v));
            if (!code.isEmpty())
                m.insert(code, v);
        }
        return m;
    }();
    return map;
}

// The first code column that Qt knows decides the value.
int lookUp(const QHash<QString, int> &map, std::initializer_list<QString> codes)
{
    for (const QString &code : codes) {
        const int value = map.value(code);
        if (value != 0)
            return value;
    }
    return 0;
}

// The rows of a table file, each split at TAB; the header line is dropped.
QList<QStringList> readRows(const QString &path, int fieldCount)
{
    QList<QStringList> rows;
    QString text;
    try {
        text = readTextFile(path, Utf8TextCodec::instance());
    } catch (const Exception &) {
        return rows;
    }
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QStringList fields = lines.at(i).split(u'\t');
        if (fields.size() == fieldCount)
            rows.append(std::move(fields));
    }
    return rows;
}

} // namespace

QList<CountryInfo> readCountryTable(const QString &path)
{
    QList<CountryInfo> table;
    for (const QStringList &f : readRows(path, 3))
        table.append(CountryInfo(f[0], f[1], f[2], lookUp(countryCodeMap(), {f[0], f[1]})));
    return table;
}

QList<LanguageInfo> readLanguageTable(const QString &path)
{
    QList<LanguageInfo> table;
    for (const QStringList &f : readRows(path, 4))
        table.append(LanguageInfo(f[0], f[1], f[2], f[3], lookUp(languageCodeMap(), {f[0], f[1], f[2]})));
    return table;
}

QList<ScriptInfo> readScriptTable(const QString &path)
{
    QList<ScriptInfo> table;
    for (const QStringList &f : readRows(path, 2))
        table.append(ScriptInfo(f[0], f[1], lookUp(scriptCodeMap(), {f[0]})));
    return table;
}

QList<CountryInfo> &countryTable()
{
    static QList<CountryInfo> table = readCountryTable(QStringLiteral(":/libcore/data/countries.csv"));
    return table;
}

QList<LanguageInfo> &languageTable()
{
    static QList<LanguageInfo> table = readLanguageTable(QStringLiteral(":/libcore/data/languages.csv"));
    return table;
}

QList<ScriptInfo> &scriptTable()
{
    static QList<ScriptInfo> table = readScriptTable(QStringLiteral(":/libcore/data/scripts.csv"));
    return table;
}

CountryInfo countryByCode(const QString &code)
{
    const qsizetype dash = code.indexOf(u'-');
    const QString key = (dash >= 0 ? code.mid(dash + 1) : code).toUpper();
    if (key.isEmpty())
        return {};
    for (const CountryInfo &row : std::as_const(countryTable())) {
        if (row.iso3166_1_A2 == key || row.iso3166_1_A3 == key)
            return row;
    }
    return {};
}

LanguageInfo languageByCode(const QString &code)
{
    const qsizetype dash = code.indexOf(u'-');
    const QString key = (dash >= 0 ? code.left(dash) : code).toLower();
    if (key.isEmpty())
        return {};
    // Tag readers ask for every comment and lyrics frame: the first row of each code is
    // looked up, and the index is built again when start-up code has added rows.
    static QMutex mutex;
    static const void *indexedRows = nullptr;
    static qsizetype indexedSize = -1;
    static QHash<QString, qsizetype> firstRow;
    const QList<LanguageInfo> &table = languageTable();
    const QMutexLocker locker(&mutex);
    if (indexedRows != table.constData() || indexedSize != table.size()) {
        firstRow.clear();
        for (qsizetype i = 0; i < table.size(); ++i) {
            const LanguageInfo &row = table.at(i);
            for (const QString *column : {&row.iso639_1, &row.iso639_2B, &row.iso639_2T}) {
                if (!column->isEmpty() && !firstRow.contains(*column))
                    firstRow.insert(*column, i);
            }
        }
        indexedRows = table.constData();
        indexedSize = table.size();
    }
    const auto found = firstRow.constFind(key);
    return found == firstRow.constEnd() ? LanguageInfo() : table.at(*found);
}

ScriptInfo scriptByCode(const QString &code)
{
    if (code.isEmpty())
        return {};
    for (const ScriptInfo &row : std::as_const(scriptTable())) {
        if (row.iso15924 == code)
            return row;
    }
    return {};
}

CountryInfo countryByName(const QString &name)
{
    for (const CountryInfo &row : std::as_const(countryTable())) {
        if (row.name == name)
            return row;
    }
    return {};
}

LanguageInfo languageByName(const QString &name)
{
    for (const LanguageInfo &row : std::as_const(languageTable())) {
        if (row.name == name)
            return row;
    }
    return {};
}

ScriptInfo scriptByName(const QString &name)
{
    for (const ScriptInfo &row : std::as_const(scriptTable())) {
        if (row.name == name)
            return row;
    }
    return {};
}

CountryInfo countryByQLocaleCountry(QLocale::Country country)
{
    if (country == 0)
        return {};
    for (const CountryInfo &row : std::as_const(countryTable())) {
        if (row.qlocaleCountry == int(country))
            return row;
    }
    return {};
}

LanguageInfo languageByQLocaleLanguage(QLocale::Language language)
{
    if (language == 0)
        return {};
    for (const LanguageInfo &row : std::as_const(languageTable())) {
        if (row.qlocaleLanguage == int(language))
            return row;
    }
    return {};
}

ScriptInfo scriptByQLocaleScript(QLocale::Script script)
{
    if (script == 0)
        return {};
    for (const ScriptInfo &row : std::as_const(scriptTable())) {
        if (row.qlocaleScript == int(script))
            return row;
    }
    return {};
}

QString localeDisplayName(const QLocale &locale)
{
    if (locale.language() == QLocale::C && locale.territory() == QLocale::AnyTerritory)
        return QString();
    QString name = languageByQLocaleLanguage(locale.language()).name;
    if (name.isEmpty())
        return QString();
    // Qt fills in the usual script of every locale; name it only where it is not the usual
    // one for the language and country (Serbian in Latin letters), as a locale name would.
    QString script;
    if (locale.script() != QLocale(locale.language(), locale.territory()).script())
        script = scriptByQLocaleScript(locale.script()).name;
    if (!script.isEmpty())
        name += QStringLiteral(", ") + script;
    const QString country = countryByQLocaleCountry(locale.territory()).name;
    if (!country.isEmpty())
        name += QStringLiteral(", ") + country;
    return name;
}
