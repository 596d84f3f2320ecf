#include <cstdio>

#include <QApplication>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QStringList>
#include <QTimer>

#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/formatting.h"
#include "app/shell/applicationresources.h"
#include "libcore/text/texttable.h"
#include "tools/tagtool/folderedit.h"
#include "tools/tagtool/identifyreport.h"
#include "tools/tagtool/scriptreport.h"
#include "tools/tagtool/tagedit.h"
#include "tools/tagtool/tagreport.h"

#include <functional>
#include <memory>
#include <optional>

// tagtool reads and writes tags through AudioFile exactly as the program does:
//   tagtool read FILE...          one JSON object per line and file
//   tagtool write FILE EDITS...   exit code 0 when the file was saved, 1 otherwise
//   tagtool script PATTERN FILE...  what a naming pattern makes of each file, one JSON line each
//   tagtool edit FOLDER --set ITEM=VALUE... [--undo] [--save]  load, update, undo, save; a line per file
//   tagtool identify [--service URL] FILE|FOLDER...  what identification finds and would write, a line per file
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

// Runs the verb inside the event loop, as the program runs it: objects that worker threads
// release through the loop are released. An Exception is printed and gives exit code 1.
int runInEventLoop(QCoreApplication &application, const std::function<int()> &verb)
{
    int result = 1;
    QTimer::singleShot(0, &application, [&] {
        try {
            result = verb();
        } catch (const Exception &e) {
            printError(e.code, e.message());
        }
        application.quit();
    });
    application.exec();
    return result;
}

int usage()
{
    std::fprintf(stderr, "%s\n", upperCaseFirst(textForId(Usage)).toLocal8Bit().constData());
    return 2;
}
} // namespace

int main(int argc, char *argv[])
{
    // Editing a folder runs the program's loading and saving, whose progress dialogs need
    // widgets; without a display they are drawn off screen.
    const bool widgets = argc > 1 && (qstrcmp(argv[1], "edit") == 0 || qstrcmp(argv[1], "identify") == 0);
    if (widgets && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (widgets)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication &application = *app;
    try {
        registerApplicationResources({QStringLiteral("tagtool.rcc")});
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
            SettingsStore::loadDefaultsFile(QStringLiteral(":/app/settings/defaults.xml"));
            report.emplace(arguments.at(1), SettingsStore::boolValue(QStringLiteral("fileNaming/trimSeparators")));
        } catch (const Exception &e) {
            printError(e.code, e.message());
            return 1;
        }
        for (const QString &path : arguments.mid(2))
            printJsonLine(report->evaluate(path));
        return 0;
    }
    if (command == u"edit" && arguments.size() > 2) {
        try {
            SettingsStore::loadDefaultsFile(QStringLiteral(":/app/settings/defaults.xml"));
            const FolderEdit edit = FolderEdit::parse(arguments.at(1), arguments.mid(2));
            return runInEventLoop(application, [&] { return edit.run(printJsonLine) ? 0 : 1; });
        } catch (const Exception &e) {
            printError(e.code, e.message());
            return 1;
        }
    }
    if (command == u"identify" && arguments.size() > 1) {
        try {
            SettingsStore::loadDefaultsFile(QStringLiteral(":/app/settings/defaults.xml"));
            const IdentifyReport report = IdentifyReport::parse(arguments.mid(1));
            return runInEventLoop(application, [&] {
                report.run(printJsonLine);
                return 0;
            });
        } catch (const Exception &e) {
            printError(e.code, e.message());
            return 1;
        }
    }
    return usage();
}
