#include <cstdio>
#include <cstring>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/shell/application.h"
#include "app/shell/appmainwindow.h"
#include "libcore/log/exception.h"
#include "libgui/logviews/logmessagedialog.h"

// The start-up runs in a child: this test's own executable with "--child", which makes the
// real application object and entry point and plays the user: it prints and closes every
// modal dialog, and closes the main window once it has been shown.
namespace {
int runChild(int argc, char **argv)
{
    Application application(argc, argv);
    const bool throwInSlot = application.arguments().contains(QStringLiteral("--throw-in-slot"));
    QElapsedTimer shown;
    auto *user = new QTimer(&application);
    user->setInterval(50);
    QObject::connect(user, &QTimer::timeout, &application, [&shown, throwInSlot] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            QString text = modal->windowTitle();
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                text = box->text();
            else if (auto *log = qobject_cast<LogMessageDialog *>(modal))
                text = log->textLabel->text();
            std::printf("child: modal: %s\n", qPrintable(text));
            std::fflush(stdout);
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                box->done(QMessageBox::Discard);
            else if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            return;
        }
        AppMainWindow *window = AppMainWindow::existingInstance();
        if (!window || !window->isVisible())
            return;
        if (!shown.isValid()) {
            shown.start();
            std::printf("child: window shown\n");
            std::fflush(stdout);
            if (throwInSlot)
                QTimer::singleShot(0, window, [] { throw Exception(0x5EEDu, {}, true); });
        } else if (shown.elapsed() > 300) {
            window->close();
        }
    });
    user->start();
    return applicationMain(application);
}

struct ChildRun {
    int exitCode = -1;
    QString out;
    QString err;
};
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir home;

    QString configFolder() const { return home.filePath(QStringLiteral("config/Melotaxonic")); }
    QString settingsPath() const { return configFolder() + QStringLiteral("/config/settings.xml"); }

    ChildRun run(const QStringList &arguments, const QString &program = QString(),
                 const QProcessEnvironment &extra = QProcessEnvironment())
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (const QString &key : extra.keys())
            env.insert(key, extra.value(key));
        process.setProcessEnvironment(env);
        // Packages are looked for in the working folder too: a program of its own runs in its own.
        if (!program.isEmpty())
            process.setWorkingDirectory(QFileInfo(program).absolutePath());
        process.start(program.isEmpty() ? QCoreApplication::applicationFilePath() : program,
                      QStringList({QStringLiteral("--child")}) + arguments);
        ChildRun result;
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(process.readAllStandardError());
        return result;
    }

    void writeSettings(const QByteArray &content)
    {
        QDir().mkpath(configFolder() + QStringLiteral("/config"));
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    QStringList logFiles() const
    {
        return QDir(configFolder() + QStringLiteral("/log")).entryList(QDir::Files, QDir::Name);
    }

private Q_SLOTS:
    void cleanup()
    {
        QDir(home.filePath(QStringLiteral("config"))).removeRecursively();
    }

    // A start on empty folders: the log file of the run is made, with --stdout-logging every
    // line also reaches standard output; closing the window ends the run with exit code 0
    // and writes the settings file.
    void normalStart()
    {
        const ChildRun result = run({QStringLiteral("--stdout-logging")});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.contains(QStringLiteral("child: window shown")), qPrintable(result.out));
        QVERIFY(result.out.contains(QStringLiteral("[INFO] Melotaxonic 3.4.7 started")));
        QVERIFY(result.out.contains(QStringLiteral("[INFO] Melotaxonic 3.4.7 ended")));
        QVERIFY2(!result.out.contains(QStringLiteral("child: modal")), qPrintable(result.out));
        const QStringList logs = logFiles();
        QCOMPARE(logs.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d-\\d\\d\\.txt$"))
                     .match(logs.first()).hasMatch(), qPrintable(logs.first()));
        QFile log(configFolder() + QStringLiteral("/log/") + logs.first());
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString logText = QString::fromUtf8(log.readAll());
        QVERIFY(logText.contains(QStringLiteral("Melotaxonic 3.4.7 started")));
        QVERIFY(QFile::exists(settingsPath()));

        // Without the option nothing is logged to standard output.
        const ChildRun quiet = run({});
        QCOMPARE(quiet.exitCode, 0);
        QVERIFY2(!quiet.out.contains(QStringLiteral("[INFO]")), qPrintable(quiet.out));
    }

    // The user's settings are read at the start and written back at the close.
    void settingsLoaded()
    {
        writeSettings("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<settings><firstStart>false</firstStart>"
                      "<mine>kept value</mine></settings>\n");
        const ChildRun result = run({});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(!result.out.contains(QStringLiteral("child: modal")), qPrintable(result.out));
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        QVERIFY2(saved.contains("<mine>kept value</mine>"), saved.constData());
        QVERIFY(saved.contains("<windowState>"));
        QVERIFY(!QFile::exists(settingsPath() + QStringLiteral(".bak")));
    }

    // A malformed file: the start goes on with the defaults, the user's file is kept as
    // settings.xml.bak and the warning says so; the close writes a good file.
    void malformedSettings()
    {
        const QByteArray broken = "<settings><mine>half";
        writeSettings(broken);
        const ChildRun result = run({QStringLiteral("--stdout-logging")});
        QCOMPARE(result.exitCode, 0);
        const QString backup = QDir::toNativeSeparators(settingsPath() + QStringLiteral(".bak"));
        QVERIFY2(result.out.contains(QStringLiteral("[WARNING] The settings file")), qPrintable(result.out));
        QVERIFY2(result.out.contains(QStringLiteral("kept as %1").arg(backup)), qPrintable(result.out));
        QVERIFY2(result.out.contains(QStringLiteral("child: modal: <p>The settings file")), qPrintable(result.out));
        QFile kept(settingsPath() + QStringLiteral(".bak"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), broken);
        QFile saved(settingsPath());
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("<windowState>"));
        // The store keeps no second copy of its own.
        QCOMPARE(QDir(configFolder() + QStringLiteral("/config")).entryList(QDir::Files).size(), 2);
    }

    // Without its resource packages the program cannot start: the run log is shown and the
    // exit code is 1.
    void missingResourcePackage()
    {
        QTemporaryDir bare;
        const QString copy = bare.filePath(QStringLiteral("melotaxonic-test"));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const ChildRun result = run({QStringLiteral("--stdout-logging")}, copy);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.out.contains(QStringLiteral("child: modal")), qPrintable(result.out));
        QVERIFY2(result.out.contains(QStringLiteral("[ERROR]")), qPrintable(result.out));
        QVERIFY(!result.out.contains(QStringLiteral("child: window shown")));
    }

    // An exception thrown by a slot is caught at the event boundary: the run ends with the
    // run log shown and exit code 1.
    void exceptionInSlot()
    {
        const ChildRun result = run({QStringLiteral("--throw-in-slot")});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.out.contains(QStringLiteral("child: window shown")), qPrintable(result.out));
        QVERIFY2(result.out.contains(QStringLiteral("child: modal")), qPrintable(result.out));
    }

    // The version check waits for the service away from the GUI thread: the window goes on
    // working while the service keeps silent, and the failure is logged afterwards.
    void versionCheckDoesNotBlock()
    {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        QList<QTcpSocket *> held;
        connect(&silent, &QTcpServer::newConnection, this, [&] {
            while (QTcpSocket *socket = silent.nextPendingConnection())
                held.append(socket);
        });
        writeSettings("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<settings><firstStart>false</firstStart>"
                      "<internetAccess>true</internetAccess><versionCheck>true</versionCheck></settings>\n");
        QProcessEnvironment env;
        env.insert(QStringLiteral("MELO_SERVICE_ENDPOINT"),
                   QStringLiteral("http://127.0.0.1:%1/api").arg(silent.serverPort()));
        QProcess process;
        // The server must answer connections while the child runs: wait with the event loop.
        ChildRun result;
        QTimer::singleShot(0, this, [&] { result = run({QStringLiteral("--stdout-logging")}, QString(), env); });
        QTRY_VERIFY_WITH_TIMEOUT(result.exitCode != -1, 60000);
        QCOMPARE(result.exitCode, 0);
        const qsizetype started = result.out.indexOf(QStringLiteral("[INFO] Looking for a newer version"));
        const qsizetype shown = result.out.indexOf(QStringLiteral("child: window shown"));
        const qsizetype failed = result.out.indexOf(QStringLiteral("[ERROR] The version check failed"));
        QVERIFY2(started >= 0 && shown >= 0 && failed >= 0, qPrintable(result.out));
        QVERIFY2(shown < failed, qPrintable(result.out));
        QFile saved(settingsPath());
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("<lastVersionCheck>"));
    }

    // The version is compared as one tuple: 3.3.9 and 2.9.9 are older than 3.4.7.
    void newerVersion_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("patch");
        QTest::addColumn<bool>("newer");
        QTest::newRow("same") << 3 << 4 << 7 << false;
        QTest::newRow("next patch") << 3 << 4 << 8 << true;
        QTest::newRow("next minor") << 3 << 5 << 0 << true;
        QTest::newRow("next major") << 4 << 0 << 0 << true;
        QTest::newRow("older minor, higher patch") << 3 << 3 << 9 << false;
        QTest::newRow("older major, higher minor") << 2 << 9 << 9 << false;
        QTest::newRow("older patch") << 3 << 4 << 6 << false;
    }

    void newerVersion()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, patch);
        QFETCH(bool, newer);
        QCOMPARE(isNewerVersion(major, minor, patch), newer);
    }

    // Without any display the program says so in one line and ends with exit code 1.
    void noDisplay()
    {
        const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/melotaxonic");
        if (!QFile::exists(program))
            QSKIP("the program is not built");
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        process.setProcessEnvironment(env);
        process.start(program, {});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 1);
        const QStringList lines = QString::fromLocal8Bit(process.readAllStandardError())
                                      .split(u'\n', Qt::SkipEmptyParts)
                                      .filter(QRegularExpression(QStringLiteral("^(?!==)")));
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().contains(QStringLiteral("needs a graphical display"))
                     && lines.first().contains(QStringLiteral("QT_QPA_PLATFORM=offscreen")),
                 qPrintable(lines.first()));
        QVERIFY(logFiles().isEmpty());
    }
};

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);
    QCoreApplication application(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
