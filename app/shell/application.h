#pragma once

#include <QApplication>
#include <QLocale>
#include <QPointer>
#include <QStringList>

#include "libcore/log/exception.h"

class VersionCheckThread;

// The program's application object and its start: logging, resources, settings, language,
// style, the main window and the weekly version check. Everything runs in the GUI thread.
class Application : public QApplication
{
    Q_OBJECT
public:
    // The running version; the version check compares the service's answer with it.
    static constexpr int VersionMajor = 3;
    static constexpr int VersionMinor = 4;
    static constexpr int VersionPatch = 7;

    Application(int &argc, char **argv);
    ~Application() override;

    // "--version", else the start-up and the event loop; logs the exit and returns its code.
    int run();
    // The start-up steps, then the event loop. Throws Exception when a step fails.
    int start();

    void initLogging();
    void initResources();
    void initSettings();
    void initTranslation();
    void initCountries();
    void initStyle();
    void showMainWindow();
    void checkFirstStart();
    void checkForNewVersion();

    // Whether the version check has been started and not yet reported.
    bool isCheckingVersion() const;
    // Waits until a running version check has been reported (tests, exit).
    void waitForVersionCheck();

    // An exception thrown by a slot or an event handler cannot unwind through the event
    // dispatch: it is caught here, and the event loop ends as for an exception escaping it.
    bool notify(QObject *receiver, QEvent *event) override;

    // The style sheet made from the template with the palette's colours.
    static QString styleSheet(const QPalette &palette, const QStyle *style);

private Q_SLOTS:
    void onVersionCheckEnded();

private:
    QPointer<VersionCheckThread> versionCheck;
    bool hasEscapedException = false;
    Exception escapedException{0, {}, false};
};

// Whether a version newer than the running one: the three numbers compared as one tuple.
bool isNewerVersion(int major, int minor, int patch);

// The per-user settings file and this run's log file (fixed at the first call).
QString settingsFilePath();
QString logFilePath();
// The locale of setting "locale"; the system locale when it is empty.
QLocale uiLocale();
// The values of the indexed setting "relatedFiles/suffix", in order.
QStringList relatedFileSuffixes();

// Without a display the program says so in one line and the exit code is 1; -1 when the
// program can start.
int earlyExitCode(int argc, char **argv);
// The entry point's part after the application object exists: the run log, run(), and the
// run log shown when an exception ended the run (exit code 1).
int applicationMain(Application &application);

// Where an unreadable settings file is kept before it is overwritten: "settings.xml.bak",
// numbered when that name is taken. Returns the copy's path, or a null text when it failed.
QString keepUnreadableSettingsFile(const QString &path);
