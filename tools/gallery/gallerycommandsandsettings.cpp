// Pictures of the command bars, docks, setting editors, settings and wizard dialogs and
// the date-time editor.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QToolButton>
#include <QTest>
#include <QVBoxLayout>

#include "libcore/log/logger.h"
#include "libcore/settings/settingsstore.h"
#include "libgui/actions/actiontree.h"
#include "libgui/dialogs/commondialogerrorpage.h"
#include "libgui/dialogs/commondialognavigationpage.h"
#include "libgui/dialogs/commondialogprogresspage.h"
#include "libgui/dialogs/commondialogsettingspage.h"
#include "libgui/dialogs/treeviewdialog.h"
#include "libgui/dialogs/wizarddialog.h"
#include "libgui/edits/datetimeeditor.h"
#include "libgui/icons/icons.h"
#include "libgui/ribbon/ribbonbar.h"
#include "libgui/settings/booleansettingeditorwidget.h"
#include "libgui/settings/bytesizesettingeditorwidget.h"
#include "libgui/settings/colorsettingeditorwidget.h"
#include "libgui/settings/enumsettingeditorwidget.h"
#include "libgui/settings/localesettingeditorwidget.h"
#include "libgui/widgets/extdockwidget.h"
#include "libgui/widgets/exttreewidget.h"
#include "libgui/widgets/taskwidget.h"
#include "tools/gallery/gallerypages.h"

namespace {

QAction *command(QObject *owner, const char *icon, const QString &text, const QString &help = QString())
{
    return ActionTree::createAction(loadIcon(QLatin1String(icon)), text, help, QKeySequence(), owner);
}

// A root tree like the program's: an application menu and three pages of groups.
ActionTree *sampleTree(QObject *owner, QMenu *recentMenu)
{
    auto *root = new ActionTree(QString(), owner);
    auto group = [owner](const QString &title, const QList<QAction *> &actions) {
        auto *tree = new ActionTree(title, owner);
        tree->inToolBar = true;
        for (QAction *action : actions)
            tree->addAction(action);
        return tree;
    };
    auto *app = new ActionTree(QStringLiteral("Melotaxonic"), owner);
    app->applicationMenu = true;
    app->childTrees = {group(QString(), {command(owner, "edit", QStringLiteral("Settings")),
                                         command(owner, "remove", QStringLiteral("Exit"))})};
    auto *file = new ActionTree(QStringLiteral("File"), owner);
    file->inToolBar = true;
    QAction *recent = command(owner, "add", QStringLiteral("Recent folders"));
    recent->setMenu(recentMenu);
    recent->setProperty("popupMode", int(QToolButton::InstantPopup));
    file->childTrees = {
        group(QStringLiteral("Open"), {command(owner, "add", QStringLiteral("Add files")),
                                       command(owner, "add", QStringLiteral("Add folder tree")), recent}),
        group(QStringLiteral("Save"), {command(owner, "edit", QStringLiteral("Save")),
                                       command(owner, "clock", QStringLiteral("Save all modified files"))}),
        group(QStringLiteral("Remove"), {command(owner, "remove", QStringLiteral("Remove from list")),
                                         command(owner, "remove", QStringLiteral("Clear list")),
                                         command(owner, "up", QStringLiteral("Show in file manager")),
                                         command(owner, "down", QStringLiteral("Play"))}),
    };
    auto *edit = new ActionTree(QStringLiteral("Edit"), owner);
    edit->childTrees = {group(QStringLiteral("Undo"), {command(owner, "up", QStringLiteral("Undo")),
                                                       command(owner, "down", QStringLiteral("Redo"))}),
                        group(QStringLiteral("Find"), {command(owner, "edit", QStringLiteral("Find and replace"))})};
    root->childTrees = {app, file, edit};
    return root;
}

void renderCommandBars(Gallery &gallery)
{
    QObject owner;
    QMenu recentMenu;
    ActionTree *root = sampleTree(&owner, &recentMenu);
    for (int width : {1000, 560, 330}) {
        auto *window = new QWidget();
        auto *layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        RibbonBar *ribbon = root->createRibbonBar(nullptr);
        ribbon->addQuickAccessAction(command(&owner, "edit", QStringLiteral("Save")));
        ribbon->addQuickAccessAction(command(&owner, "up", QStringLiteral("Undo")));
        layout->addWidget(ribbon);
        layout->addStretch();
        window->resize(width, ribbon->sizeHint().height() + 10);
        gallery.save(QStringLiteral("ribbon-%1").arg(width), window);
    }

    auto *window = new QMainWindow();
    window->setMenuBar(root->createMenuBar(window));
    for (QToolBar *bar : root->createToolBars(defaultIconSize(), window))
        window->addToolBar(bar);
    auto *dock = new ExtDockWidget(window);
    dock->setObjectName(QStringLiteral("ExtDockWidget"));
    dock->setWindowTitle(QStringLiteral("Tag editor"));
    dock->icon = loadIcon(QStringLiteral("edit"));
    auto *tasks = new TaskWidget();
    tasks->setTitle(QStringLiteral("Tasks"));
    QAction *disabled = command(&owner, "remove", QStringLiteral("Remove the artwork"));
    disabled->setEnabled(false);
    dock->setWidget(tasks);
    tasks->addActions({command(&owner, "add", QStringLiteral("Add artwork from a file")),
                       command(&owner, "edit", QStringLiteral("Resize the artwork")), disabled});
    window->addDockWidget(Qt::LeftDockWidgetArea, dock);
    auto *treeDock = new ExtDockWidget(window);
    treeDock->setWindowTitle(QStringLiteral("Display filter"));
    auto *tree = new ExtTreeWidget();
    auto *artist = new QTreeWidgetItem(tree, {QStringLiteral("Artist A")});
    new QTreeWidgetItem(artist, {QStringLiteral("Album 1")});
    new QTreeWidgetItem(artist, {QStringLiteral("Album 2")});
    tree->expandAll();
    treeDock->setWidget(tree);
    window->addDockWidget(Qt::LeftDockWidgetArea, treeDock);
    window->setCentralWidget(new QLabel(QStringLiteral("file table")));
    window->resize(900, 500);
    gallery.save(QStringLiteral("menus-toolbars-docks"), window);
}

class EditorsPage : public CommonDialogSettingsPage
{
public:
    EditorsPage() : CommonDialogSettingsPage(QStringLiteral("gallery"))
    {
        title = QStringLiteral("Formats");
        icon = loadIcon(QStringLiteral("edit"));
    }

    void setupGui() override
    {
        addSettingEditor(new BooleanSettingEditorWidget(settingsPrefix + QStringLiteral("/flag"),
                             QStringLiteral("Keep the modification time of saved files")),
                         QStringLiteral("Saving"), QStringLiteral("How files are written."));
        auto *radio = new EnumSettingEditorWidget(settingsPrefix + QStringLiteral("/radio"),
                                                  EnumSettingEditorWidget::RadioButtons);
        radio->addOption(QStringLiteral("ID3v2.3 (most compatible)"), 0);
        radio->addOption(QStringLiteral("ID3v2.4"), 1);
        addSettingEditor(radio, QStringLiteral("ID3v2 version"), QString());
        auto *checks = new EnumSettingEditorWidget(settingsPrefix + QStringLiteral("/checks"),
                                                   EnumSettingEditorWidget::CheckBoxes);
        checks->addOption(QStringLiteral("APE"), 0);
        checks->addOption(QStringLiteral("Lyrics3"), 1);
        addSettingEditor(checks, QStringLiteral("Tags to remove"), QString());
        auto *ordered = new EnumSettingEditorWidget(settingsPrefix + QStringLiteral("/ordered"),
                                                    EnumSettingEditorWidget::OrderedCheckList);
        for (const char *name : {"ID3v2", "APE", "ID3v1"})
            ordered->addOption(QLatin1String(name), QLatin1String(name));
        addSettingEditor(ordered, QStringLiteral("Tag order"), QStringLiteral("The first tag wins."));
        auto *bytes = new ByteSizeSettingEditorWidget(settingsPrefix + QStringLiteral("/padding"));
        bytes->setRange(0, 16 * 1048576);
        addSettingEditor(bytes, QStringLiteral("Padding"), QString());
        addSettingEditor(new ColorSettingEditorWidget(settingsPrefix + QStringLiteral("/color")),
                         QStringLiteral("Colour of unsaved cells"), QString());
        addSettingEditor(new LocaleSettingEditorWidget(settingsPrefix + QStringLiteral("/locale")),
                         QStringLiteral("Number format"), QString());
    }
};

class ShowTreeDialog : public TreeViewDialog
{
public:
    ShowTreeDialog()
    {
        auto *navigation = new CommonDialogNavigationPage();
        navigation->title = QStringLiteral("Tagging");
        navigation->icon = loadIcon(QStringLiteral("add"));
        auto *editors = new EditorsPage();
        auto *other = new EditorsPage();
        other->title = QStringLiteral("Artwork");
        navigation->childPages = {editors, other};
        setPages({navigation});
        setWindowTitle(QStringLiteral("Settings"));
    }
};

class ShowWizard : public WizardDialog
{
public:
    ShowWizard()
    {
        auto *page = new CommonDialogLayoutPage();
        page->title = QStringLiteral("Choose the library folder");
        page->addSection(new DateTimeEditor(), QStringLiteral("Added since"), QStringLiteral("Only newer files."));
        setPages({page});
        setCurrentPage(page);
        setWindowTitle(QStringLiteral("New library"));
    }
};

void renderDialogs(Gallery &gallery)
{
    SettingsStore::setValue(QStringLiteral("gallery/flag"), QStringLiteral("true"));
    SettingsStore::setValue(QStringLiteral("gallery/radio"), QStringLiteral("1"));
    SettingsStore::setValue(QStringLiteral("gallery/ordered"), QStringLiteral("APE,ID3v2"));
    SettingsStore::setValue(QStringLiteral("gallery/padding"), QStringLiteral("2097152"));
    SettingsStore::setValue(QStringLiteral("gallery/color"), QStringLiteral("#ffcc66"));
    SettingsStore::setValue(QStringLiteral("gallery/locale"), QStringLiteral("de-AT"));

    auto *settings = new ShowTreeDialog();
    settings->resize(900, 640);
    gallery.snap(QStringLiteral("treeview-navigation"), settings);
    settings->setCurrentPage(settings->pages().first()->childPages.first());
    gallery.save(QStringLiteral("treeview-settings-page"), settings);

    auto *wizard = new ShowWizard();
    wizard->resize(640, 420);
    gallery.snap(QStringLiteral("wizard-content"), wizard);
    wizard->progressPage->setTitle(QStringLiteral("Reading the folder"));
    wizard->progressPage->progressBar->setValue(420);
    wizard->setCurrentPage(wizard->progressPage);
    gallery.snap(QStringLiteral("wizard-progress"), wizard);
    Logger::logToAll(LogMessage(QStringLiteral("The folder /music/new cannot be read."), Error));
    wizard->setCurrentPage(wizard->errorPage);
    gallery.save(QStringLiteral("wizard-error"), wizard);

    auto *holder = new QWidget();
    auto *layout = new QVBoxLayout(holder);
    auto *idle = new DateTimeEditor();
    idle->setValue(PartialDateTime(2004, 5));
    auto *editing = new DateTimeEditor();
    editing->setValue(PartialDateTime(2004, 5, 17));
    layout->addWidget(idle);
    layout->addWidget(editing);
    holder->resize(320, 120);
    holder->show();
    holder->activateWindow();
    editing->setFocus();
    QTest::qWait(30);
    editing->setCursorPosition(8);
    gallery.save(QStringLiteral("datetime-editor"), holder);
}

} // namespace

void renderCommandsAndSettings(Gallery &gallery)
{
    renderCommandBars(gallery);
    renderDialogs(gallery);
}
