#include "app/shell/application.h"

#include "app/shell/applicationresources.h"

#include <cstdio>
#include <cstring>
#include <tuple>
#include <exception>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStyle>
#include <QStyleOption>
#include <QTranslator>

#include "app/shell/appmainwindow.h"
#include "app/shell/shelltextids.h"
#include "app/shell/tageditorrouting.h"
#include "app/shell/versioncheckthread.h"
#include "libgui/icons/icons.h"
#include "libcore/io/filetree.h"
#include "libcore/io/paths.h"
#include "libcore/locale/localetables.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/log/consolelogger.h"
#include "libcore/log/filelogger.h"
#include "libcore/log/logger.h"
#include "libcore/platform/userfolders.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/formatting.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/text/textcatalogue.h"
#include "libcore/text/texttable.h"
#include "libcore/util/random.h"
#include "libcore/util/variants.h"
#include "libgui/logviews/logmessagedialog.h"

namespace {
const QString ApplicationName = QStringLiteral("Melotaxonic");
const QString OrganizationDomain = QStringLiteral("melotaxonic.org");
constexpr qint64 MsecsPerDay = 86400000;
constexpr int VersionCheckIntervalDays = 7;

bool hasArgument(const QStringList &arguments, const char *argument)
{
    return arguments.contains(QLatin1String(argument));
}
} // namespace

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(ApplicationName);
    setApplicationVersion(QStringLiteral("%1.%2.%3").arg(VersionMajor).arg(VersionMinor).arg(VersionPatch));
    setOrganizationDomain(OrganizationDomain);
}

Application::~Application()
{
    waitForVersionCheck();
}

int Application::run()
{
    if (hasArgument(arguments(), "--version")) {
        std::printf("%s %s\n", qPrintable(applicationName()), qPrintable(applicationVersion()));
        std::fflush(stdout);
        return 0;
    }
    const int code = start();
    if (code != 0)
        Logger::error(ExitFailedTextId, {applicationName(), applicationVersion(), code});
    else
        Logger::info(ExitedTextId, {applicationName(), applicationVersion()});
    return code;
}

int Application::start()
{
    initLogging();
    initResources();
    initSettings();
    initTranslation();
    initCountries();
    installVariantHandler(true);
    processRandomGenerator().seed(quint32(QDateTime::currentMSecsSinceEpoch()));
    TagEditorRouting::installEventFilter();
    initStyle();
    showMainWindow();
    checkFirstStart();
    const int code = exec();
    waitForVersionCheck();
    if (hasEscapedException) {
        hasEscapedException = false;
        throw escapedException;
    }
    return code;
}

void Application::initLogging()
{
    const QString path = logFilePath();
    const QString folder = parentPath(path);
    if (!QFileInfo(folder).isDir())
        makePath(folder);
    new FileLogger(path, this);
    if (hasArgument(arguments(), "--stdout-logging"))
        new ConsoleLogger(this);
}

void Application::initResources()
{
    // The same mounting as the tools, benchmarks and tests: a missing package or an empty
    // data table ends the start here.
    registerApplicationResources();
    QStringList &roots = iconRootDirectories();
    for (const QString &root : {QStringLiteral(":/libgui/icons"), QStringLiteral(":/app/icons")}) {
        if (!roots.contains(root))
            roots.append(root);
    }
    static const QIcon appIcon = loadIcon(QStringLiteral("appIcon"));
    setWindowIcon(appIcon);
}

void Application::initSettings()
{
    SettingsStore::loadDefaultsFile(QStringLiteral(":/app/settings/defaults.xml"));
    const QString path = settingsFilePath();
    const QString folder = parentPath(path);
    if (!QFileInfo(folder).isDir())
        makePath(folder);
    if (!QFileInfo::exists(path))
        return;
    BufferedLogger logger;
    try {
        SettingsStore::loadFile(path);
    } catch (const Exception &) {
        // Defaults apply and the next save writes over the file: the user's file is kept
        // first, under a name the warning gives.
        const QString kept = keepUnreadableSettingsFile(path);
        if (kept.isEmpty())
            Logger::warning(SettingsUnreadableTextId, {QDir::toNativeSeparators(path)});
        else
            Logger::warning(SettingsUnreadableKeptTextId, {QDir::toNativeSeparators(path), QDir::toNativeSeparators(kept)});
        showLogMessageDialog(&logger, nullptr);
    }
}

void Application::initTranslation()
{
    const QLocale primary = uiLocale();
    TextCatalogue::applyLanguage(primary, QLocale(QLocale::English, QLocale::UnitedStates));
    if (primary.language() == QLocale::English)
        return;
    auto *translator = new QTranslator(this);
    if (translator->load(QStringLiteral(":/app/text/qt_%1").arg(primary.name())))
        installTranslator(translator);
    else
        Logger::info(QtTranslationMissingTextId, {primary.name()});
}

void Application::initCountries()
{
    QList<CountryInfo> &table = countryTable();
    table.append(CountryInfo(QStringLiteral("XC"), QString(), QStringLiteral("Czechoslovakia"), 0));
    table.append(CountryInfo(QStringLiteral("XG"), QString(), QStringLiteral("East Germany"), 0));
    table.append(CountryInfo(QStringLiteral("XE"), QString(), QStringLiteral("Europe"), 0));
    // Qt 6 has no country for these two any more: "any" (0).
    table.append(CountryInfo(QStringLiteral("CS"), QStringLiteral("SCG"), QStringLiteral("Serbia and Montenegro"), 0));
    table.append(CountryInfo(QStringLiteral("SU"), QStringLiteral("SUN"), QStringLiteral("Soviet Union"), 0));
    table.append(CountryInfo(QStringLiteral("XW"), QString(), QStringLiteral("Worldwide"), 0));
    table.append(CountryInfo(QStringLiteral("YU"), QStringLiteral("YUG"), QStringLiteral("Yugoslavia"), 0));
}

QString Application::styleSheet(const QPalette &palette, const QStyle *style)
{
    const QString baseColor = palette.color(QPalette::Base).name();
    QStyleOption option;
    option.palette = palette;
    const QString gridColor = QColor(QRgb(style->styleHint(QStyle::SH_Table_GridLineColor, &option))).name();
    const QString hGradient = QStringLiteral("qlineargradient(x1: 0, y1: 0, x2: 1, y2: 0, stop: 0 %1, stop: 1 %2)")
                                  .arg(baseColor, gridColor);
    const QString vGradient = QStringLiteral("qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 %1, stop: 1 %2)")
                                  .arg(baseColor, gridColor);
    QString sheet = QStringLiteral(
        "QGroupBox {font-weight: bold;}"
        "QTableView QTableCornerButton::section {background-color: $baseColor;border: none;"
        "border-bottom: 1px solid $hGradient;border-right: 1px solid $vGradient;}"
        "QHeaderView {background-color: $baseColor;}"
        "QHeaderView::section {background-color: $baseColor;padding: 4px;border: none;}"
        "QHeaderView::section:hover {background-color: #d9ebf9;}"
        "QHeaderView::section:horizontal {border-bottom: 1px solid $gridColor;border-right: 1px solid $vGradient;}"
        "QHeaderView::section:vertical {border-bottom: 1px solid $hGradient;border-right: 1px solid $gridColor;}");
    sheet.replace(QLatin1String("$baseColor"), baseColor);
    sheet.replace(QLatin1String("$gridColor"), gridColor);
    sheet.replace(QLatin1String("$hGradient"), hGradient);
    sheet.replace(QLatin1String("$vGradient"), vGradient);
    return sheet;
}

void Application::initStyle()
{
    setStyleSheet(styleSheet(palette(), style()));
}

void Application::showMainWindow()
{
    AppMainWindow *window = AppMainWindow::instance();
    window->showMaximized();
    Logger::info(MainWindowShownTextId, {applicationName(), applicationVersion()});
}

void Application::checkFirstStart()
{
    // The start-up wizard that a first start runs is not there yet: a first start goes on
    // as a later one, and "firstStart" stays as it is for the wizard.
    if (!SettingsStore::boolValue(QStringLiteral("internetAccess")))
        return;
    if (!SettingsStore::boolValue(QStringLiteral("versionCheck")))
        return;
    const int today = int(QDateTime::currentMSecsSinceEpoch() / MsecsPerDay);
    const int last = SettingsStore::value(QStringLiteral("lastVersionCheck")).trimmed().toInt();
    if (qint64(today) - last < VersionCheckIntervalDays)
        return;
    checkForNewVersion();
    SettingsStore::setValue(QStringLiteral("lastVersionCheck"), QString::number(today));
    try {
        SettingsStore::saveFile(settingsFilePath());
    } catch (const Exception &) {
        Logger::error(VersionCheckSaveFailedTextId);
    }
}

void Application::checkForNewVersion()
{
    if (versionCheck)
        return;
    Logger::info(VersionCheckStartedTextId);
    versionCheck = new VersionCheckThread(this);
    connect(versionCheck, &QThread::finished, this, &Application::onVersionCheckEnded);
    versionCheck->start();
}

bool Application::isCheckingVersion() const
{
    return versionCheck;
}

void Application::waitForVersionCheck()
{
    if (!versionCheck)
        return;
    versionCheck->wait();
    onVersionCheckEnded();
}

void Application::onVersionCheckEnded()
{
    VersionCheckThread *thread = versionCheck;
    if (!thread || thread->isRunning())
        return;
    versionCheck = nullptr;
    thread->deleteLater();
    if (!thread->succeeded()) {
        Logger::error(VersionCheckFailedTextId, {organizationDomain()});
        return;
    }
    if (!isNewerVersion(thread->major(), thread->minor(), thread->patch())) {
        Logger::info(VersionUpToDateTextId, {applicationVersion()});
        return;
    }
    const QString version = QStringLiteral("%1.%2.%3").arg(thread->major()).arg(thread->minor()).arg(thread->patch());
    const QString date = thread->releaseDate().toString(QStringLiteral("yyyy-MM-dd"));
    Logger::info(NewerVersionLoggedTextId, {version, date});
    QString text = textForId(NewerVersionMessageTextId);
    argInPlace(text, applicationName());
    argInPlace(text, version);
    argInPlace(text, date);
    argInPlace(text, upperCaseFirst(organizationDomain()));
    if (IAppMainWindow *window = IAppMainWindow::instance())
        window->showInformation(upperCaseFirst(text));
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const Exception &e) {
        if (!hasEscapedException) {
            hasEscapedException = true;
            escapedException = e;
        }
    } catch (const std::exception &e) {
        if (!hasEscapedException) {
            hasEscapedException = true;
            escapedException = Exception(EventHandlerExceptionTextId, {QString::fromLocal8Bit(e.what())});
        }
    }
    exit(1);
    return false;
}

bool isNewerVersion(int major, int minor, int patch)
{
    return std::make_tuple(major, minor, patch)
        > std::make_tuple(Application::VersionMajor, Application::VersionMinor, Application::VersionPatch);
}

QString settingsFilePath()
{
    static const QString path = SettingsStore::filePath(0);
    return path;
}

QString logFilePath()
{
    static const QString path = withTrailingSlash(applicationConfigDirectory(true)) + QStringLiteral("log/")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-hh-mm-ss")) + QStringLiteral(".txt");
    return path;
}

QLocale uiLocale()
{
    const QString name = SettingsStore::value(QStringLiteral("locale")).trimmed();
    return name.isEmpty() ? QLocale() : QLocale(name);
}

QStringList relatedFileSuffixes()
{
    QStringList suffixes;
    const QString key = QStringLiteral("relatedFiles/suffix");
    const int count = SettingsStore::count(key);
    for (int i = 0; i < count; ++i)
        suffixes.append(SettingsStore::value(key, i));
    return suffixes;
}

QString keepUnreadableSettingsFile(const QString &path)
{
    QString kept = path + QStringLiteral(".bak");
    for (int n = 1; QFileInfo::exists(kept) || QFileInfo(kept).isSymLink(); ++n)
        kept = QStringLiteral("%1.bak.%2").arg(path).arg(n);
    // Moved rather than copied: the store then finds no unreadable file to keep at its save.
    if (QFile::rename(path, kept))
        return kept;
    return QFile::copy(path, kept) ? kept : QString();
}

int earlyExitCode(int argc, char **argv)
{
    bool platformGiven = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0)
            platformGiven = true;
    }
    if (platformGiven || !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return -1;
    // Qt would abort in its platform plug-in; a core application is enough to say why.
    QCoreApplication core(argc, argv);
    core.setApplicationName(ApplicationName);
    QString text;
    try {
        registerResourceFile(QStringLiteral("libcore.rcc"), QStringLiteral(":/libcore"));
        registerResourceFile(QStringLiteral("%1.rcc").arg(ApplicationName.toLower()), QStringLiteral(":/app"));
        text = textForId(NoDisplayTextId);
        argInPlace(text, ApplicationName);
    } catch (const Exception &e) {
        text = e.message();
    }
    std::fprintf(stderr, "%s\n", qPrintable(upperCaseFirst(text)));
    return 1;
}

int applicationMain(Application &application)
{
    int code = 0;
    {
        BufferedLogger runLog;
        try {
            code = application.run();
        } catch (const Exception &) {
            showLogMessageDialog(&runLog, nullptr);
            code = 1;
        }
    }
    return code;
}
