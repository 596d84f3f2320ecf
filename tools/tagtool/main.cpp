#include <cstdio>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QStringList>

#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/formatting.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/text/texttable.h"
#include "tools/tagtool/scriptreport.h"
#include "tools/tagtool/tagedit.h"
#include "tools/tagtool/tagreport.h"

#include <optional>

// tagtool reads and writes tags through AudioFile exactly as the program does:
//   tagtool read FILE...          one JSON object per line and file
//   tagtool write FILE EDITS...   exit code 0 when the file was saved, 1 otherwise
//   tagtool script PATTERN FILE...  what a naming pattern makes of each file, one JSON line each
namespace {
const quint32 Usage = 3088732134u;
const quint32 ErrorLine = 430664857u;

void printError(quint32 code, const QString &message)
{
    QString line = textForId(ErrorLine);
    argLongLong(line, code);
    argInPlace(line, message);
    std::fprintf(stderr, "%s\n", upperCaseFirst(line).toLocal8Bit().constData());
}

void printJsonLine(const QJsonObject &object)
{
    const QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact);
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
}

int usage()
{
    std::fprintf(stderr, "%s\n", upperCaseFirst(textForId(Usage)).toLocal8Bit().constData());
    return 2;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    try {
        registerResourceFiles({QStringLiteral("libcore.rcc"), QStringLiteral("libtagging.rcc"),
                               QStringLiteral("melotaxonic.rcc")});
        registerResourceFile(QStringLiteral("tagtool.rcc"), QStringLiteral(":/tagtool"));
    } catch (const Exception &e) {
        // Without the text tables the message has no words; the code still says what failed.
        printError(e.code, e.arguments.value(0).toString());
        return 1;
    }

    const QStringList arguments = application.arguments().mid(1);
    const QString command = arguments.value(0);
    if (command == u"read" && arguments.size() > 1) {
        for (const QString &path : arguments.mid(1))
            printJsonLine(TagReport::read(path));
        return 0;
    }
    if (command == u"write" && arguments.size() > 1) {
        try {
            TagEdit::save(arguments.at(1), TagEdit::parse(arguments.mid(2)));
        } catch (const Exception &e) {
            printError(e.code, e.message());
            return 1;
        }
        return 0;
    }
    if (command == u"script" && arguments.size() > 2) {
        std::optional<ScriptReport> report;
        try {
            // The program's defaults, not the user's settings: the same pattern gives the
            // same names on every machine.
            SettingsStore::loadDefaultsFile(QStringLiteral(":/melotaxonic/settings/defaults.xml"));
            report.emplace(arguments.at(1), SettingsStore::boolValue(QStringLiteral("fileNaming/trimSeparators")));
        } catch (const Exception &e) {
            printError(e.code, e.message());
            return 1;
        }
        for (const QString &path : arguments.mid(2))
            printJsonLine(report->evaluate(path));
        return 0;
    }
    return usage();
}
