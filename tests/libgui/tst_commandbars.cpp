#include <QDockWidget>
#include <QGridLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include "libgui/actions/actiontree.h"
#include "libgui/ribbon/ribbonbar.h"
#include "libgui/ribbon/ribbonbutton.h"
#include "libgui/ribbon/ribbongroup.h"
#include "libgui/ribbon/ribbonpage.h"
#include "libgui/support_gui.h"
#include "libgui/widgets/extdockwidget.h"
#include "libgui/widgets/exttreewidget.h"
#include "libgui/widgets/taskwidget.h"

namespace {

QIcon makeIcon(QList<int> sizes)
{
    QIcon icon;
    for (int size : sizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::darkBlue);
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A command tree that counts its refreshes and disables its action on the second one.
class CountingTree : public ActionTree
{
    Q_OBJECT
public:
    using ActionTree::ActionTree;
    void updateActions() override
    {
        ++updates;
        if (!actions.isEmpty())
            actions.first()->setEnabled(updates < 2);
        ActionTree::updateActions();
    }
    int updates = 0;
};

} // namespace

class tst_CommandBars : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initGuiTestPackages(); }

    void actionTreeBuilders()
    {
        QWidget owner;
        ActionTree root(QString(), &owner);
        auto *file = new CountingTree(QStringLiteral("File"), &owner);
        auto *app = new ActionTree(QStringLiteral("Application"), &owner);
        app->applicationMenu = true;
        root.childTrees = {app, file};
        auto *open = new CountingTree(QStringLiteral("Open"), &owner);
        auto *empty = new ActionTree(QStringLiteral("Empty"), &owner);
        auto *save = new ActionTree(QStringLiteral("Save"), &owner);
        open->inToolBar = true;
        save->inToolBar = true;
        file->inToolBar = true;
        file->childTrees = {open, empty, save};
        auto *settingsGroup = new ActionTree(QString(), &owner);
        app->childTrees = {settingsGroup};

        QAction *openAction = ActionTree::createAction(makeIcon({16, 32}), QStringLiteral("Open"),
                                                       QStringLiteral("Opens files."), QKeySequence::Open, &owner);
        QAction *menuAction = ActionTree::createAction(makeIcon({16}), QStringLiteral("Recent"), QString(), {}, &owner);
        menuAction->setProperty("popupMode", int(QToolButton::InstantPopup));
        QAction *saveAction = ActionTree::createCheckableAction(QIcon(), QStringLiteral("Save"), QString(), {}, &owner);
        QAction *prefs = ActionTree::createRoleAction(QAction::PreferencesRole, QIcon(), QStringLiteral("Settings"),
                                                      QString(), {}, &owner);
        QVERIFY(saveAction->isCheckable());
        QCOMPARE(openAction->shortcut(), QKeySequence(QKeySequence::Open));
        QSignalSpy triggered(openAction, &QAction::triggered);
        int slotCalls = 0;
        QObject receiver;
        connect(openAction, &QAction::triggered, &receiver, [&] { ++slotCalls; });
        open->addAction(openAction, &owner, SLOT(update()));
        open->addAction(menuAction);
        save->addAction(saveAction);
        save->addAction(prefs); // the same action in two trees
        settingsGroup->addAction(prefs);

        root.updateActions();
        root.updateActions();
        QCOMPARE(file->updates, 2);
        QCOMPARE(open->updates, 2); // the pass reaches the groups
        QVERIFY(!openAction->isEnabled());
        openAction->setEnabled(true);

        // Menus: no separator before the first group, one before every later one, empty groups too.
        std::unique_ptr<QMenuBar> menuBar(root.createMenuBar(nullptr));
        QCOMPARE(menuBar->actions().size(), 2);
        QMenu *fileMenu = menuBar->actions().at(1)->menu();
        QStringList entries;
        for (QAction *a : fileMenu->actions())
            entries.append(a->isSeparator() ? QStringLiteral("|") : a->text());
        QCOMPARE(entries, (QStringList{"Open", "Recent", "|", "|", "Save", "Settings"}));
        // The application menu tree was built first and kept the role; the file tree cleared it.
        QCOMPARE(prefs->menuRole(), QAction::NoRole);
        QCOMPARE(openAction->menuRole(), QAction::NoRole);
        ActionTree appOnly(QString(), &owner);
        appOnly.childTrees = {app};
        prefs->setMenuRole(QAction::PreferencesRole);
        std::unique_ptr<QMenuBar> appBar(appOnly.createMenuBar(nullptr));
        QCOMPARE(prefs->menuRole(), QAction::PreferencesRole);

        // Tool bars: only trees with inToolBar, only their groups with inToolBar.
        open->inToolBar = true;
        empty->inToolBar = false;
        const QList<QToolBar *> bars = root.createToolBars(24, nullptr);
        QCOMPARE(bars.size(), 1);
        std::unique_ptr<QToolBar> bar(bars.first());
        QCOMPARE(bar->objectName(), QStringLiteral("CountingTreeToolbar"));
        QCOMPARE(bar->windowTitle(), QStringLiteral("File"));
        QCOMPARE(bar->iconSize(), QSize(24, 24));
        QVERIFY(!bar->isFloatable());
        QStringList tools;
        for (QAction *a : bar->actions())
            tools.append(a->isSeparator() ? QStringLiteral("|") : a->text());
        QCOMPARE(tools, (QStringList{"Open", "Recent", "|", "Save", "Settings"}));
        auto *recentButton = qobject_cast<QToolButton *>(bar->widgetForAction(menuAction));
        auto *openButton = qobject_cast<QToolButton *>(bar->widgetForAction(openAction));
        QCOMPARE(recentButton->popupMode(), QToolButton::InstantPopup);
        QCOMPARE(openButton->popupMode(), QToolButton::DelayedPopup);
        // Linux keeps the actions' own tool tips.
        QCOMPARE(openAction->toolTip(), QStringLiteral("Open"));

        // Ribbon: the application tree fills the application menu, every other tree a page.
        std::unique_ptr<RibbonBar> ribbon(root.createRibbonBar(nullptr));
        QCOMPARE(ribbon->applicationButtonText(), QStringLiteral("Application"));
        QCOMPARE(ribbon->applicationMenu()->actions(), (QList<QAction *>{prefs}));
        QCOMPARE(ribbon->pageCount(), 1);
        RibbonPage *page = ribbon->page(0);
        QCOMPARE(ribbon->tabWidget->tabText(0), QStringLiteral(" File "));
        QCOMPARE(page->groupCount(), 3);
        QCOMPARE(page->group(0)->buttonCount(), 2);
        QCOMPARE(page->group(0)->button(0)->sizeMode(), 0);
        QCOMPARE(page->group(0)->button(1)->sizeMode(), 2); // no 32-pixel image
        QCOMPARE(page->group(0)->button(1)->popupMode(), QToolButton::InstantPopup);
        QCOMPARE(page->group(2)->button(0)->sizeMode(), 2); // no icon

        openAction->trigger();
        QCOMPARE(triggered.count(), 1);
        QCOMPARE(slotCalls, 1);
    }

    void richToolTip_data()
    {
        QTest::addColumn<QString>("whatsThis");
        QTest::addColumn<bool>("shortcut");
        QTest::addColumn<QString>("tip");
        QTest::newRow("plain") << "" << false << "<b>Cut</b>";
        QTest::newRow("everything") << "Moves it." << true
                                    << "<b>Cut (Ctrl+X)</b><p style='margin-left:10px;'>Moves it.</p>";
    }

    void richToolTip()
    {
        QFETCH(QString, whatsThis);
        QFETCH(bool, shortcut);
        QFETCH(QString, tip);
        QAction action(QStringLiteral("Cut"));
        action.setWhatsThis(whatsThis);
        if (shortcut)
            action.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
        QCOMPARE(richCommandToolTip(&action), tip);
    }

    void buttonSizeModes_data()
    {
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("compactMode");
        QTest::addColumn<int>("iconSize");
        QTest::addColumn<int>("buttonStyle");
        QTest::newRow("large with text") << QList<int>{16, 32} << 0 << 0 << 1 << 32 << int(Qt::ToolButtonTextUnderIcon);
        QTest::newRow("large icon only") << QList<int>{16, 32} << 1 << 1 << 3 << 32 << int(Qt::ToolButtonIconOnly);
        QTest::newRow("small with text") << QList<int>{16, 32} << 2 << 2 << 3 << 16 << int(Qt::ToolButtonTextBesideIcon);
        QTest::newRow("small icon only") << QList<int>{16, 32} << 3 << 3 << 3 << 16 << int(Qt::ToolButtonIconOnly);
        QTest::newRow("16 only falls back from 0") << QList<int>{16} << 0 << 2 << 3 << 16 << int(Qt::ToolButtonTextBesideIcon);
        QTest::newRow("16 only falls back from 1") << QList<int>{16} << 1 << 3 << 3 << 16 << int(Qt::ToolButtonIconOnly);
        QTest::newRow("no icon is always 2") << QList<int>{} << 3 << 2 << 2 << 16 << int(Qt::ToolButtonTextBesideIcon);
    }

    void buttonSizeModes()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(int, requested);
        QFETCH(int, mode);
        QFETCH(int, compactMode);
        QFETCH(int, iconSize);
        QFETCH(int, buttonStyle);
        QAction action(makeIcon(sizes), QStringLiteral("Command"));
        RibbonButton button(&action, requested);
        QCOMPARE(button.sizeMode(), mode);
        QCOMPARE(button.iconSize(), QSize(iconSize, iconSize));
        QCOMPARE(int(button.toolButtonStyle()), buttonStyle);
        button.compact();
        QCOMPARE(button.sizeMode(), compactMode);
        QCOMPARE(button.normalSizeMode(), mode);
        button.restoreSizeMode();
        QCOMPARE(button.sizeMode(), mode);
        // The pressed content does not move.
        QCOMPARE(button.style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal), 0);
    }

    void longTextTakesTwoLines()
    {
        QAction action(makeIcon({16, 32}), QStringLiteral("Remove every selected tag from the files"));
        RibbonButton button(&action, 0);
        QVERIFY(button.text().count(QLatin1Char('\n')) <= 1);
        QVERIFY(button.text().contains(QLatin1Char('\n')));
        action.setText(QStringLiteral("Go"));
        QCOMPARE(button.text(), QStringLiteral("Go"));
    }

    void groupLayout()
    {
        RibbonGroup group(QStringLiteral("Edit"));
        QList<QAction *> actions;
        for (int i = 0; i < 3; ++i) {
            actions.append(new QAction(makeIcon({16, 32}), QStringLiteral("Act %1").arg(i), &group));
            group.addButton(new RibbonButton(actions.last(), 2));
        }
        auto *grid = group.findChild<QGridLayout *>();
        auto cellOf = [grid](QWidget *button) {
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(grid->indexOf(button), &row, &column, &rowSpan, &columnSpan);
            return QPoint(column, row);
        };
        QCOMPARE(cellOf(group.button(2)), QPoint(0, 2));
        QVERIFY(!group.isCollapsed());
        QCOMPARE(group.minimumWidth() + group.shrinkableWidth(), group.sizeHint().width());
        group.collapse();
        QCOMPARE(cellOf(group.button(2)), QPoint(2, 0));
        QCOMPARE(group.button(0)->sizeMode(), 3);
        QCOMPARE(group.shrinkableWidth(), 0);
        QCOMPARE(group.sizeHint().width() + group.expandableWidth(), group.maximumWidth());
        group.expand();
        QCOMPARE(group.button(0)->sizeMode(), 2);
        group.setRowsPerColumn(2);
        QCOMPARE(cellOf(group.button(2)), QPoint(1, 0));
        // An icon-less button stays stacked with its text in a collapsed group.
        auto *textOnly = new QAction(QStringLiteral("Text"), &group);
        group.insertButton(0, new RibbonButton(textOnly, 0));
        group.collapse();
        QCOMPARE(group.button(0)->sizeMode(), 2);
        group.removeButton(0);
        group.removeButton(7);
        QCOMPARE(group.buttonCount(), 3);
    }

    void ribbonShrinksAndGrows()
    {
        QWidget owner;
        ActionTree root(QString(), &owner);
        auto *tree = new ActionTree(QStringLiteral("Home"), &owner);
        root.childTrees = {tree};
        for (int g = 0; g < 3; ++g) {
            auto *group = new ActionTree(QStringLiteral("Group %1").arg(g), &owner);
            for (int i = 0; i < 3; ++i)
                group->addAction(new QAction(makeIcon({16, 32}), QStringLiteral("Command %1").arg(i), &owner));
            tree->childTrees.append(group);
        }
        std::unique_ptr<RibbonBar> ribbon(root.createRibbonBar(nullptr));
        RibbonPage *page = ribbon->page(0);
        ribbon->resize(1400, ribbon->sizeHint().height());
        ribbon->show();
        QVERIFY(QTest::qWaitForWindowExposed(ribbon.get()));
        auto collapsed = [page] {
            QList<bool> states;
            for (int i = 0; i < page->groupCount(); ++i)
                states.append(page->group(i)->isCollapsed());
            return states;
        };
        QCOMPARE(collapsed(), (QList<bool>{false, false, false}));
        const int wide = page->width();
        const int shrink = page->group(0)->shrinkableWidth();
        ribbon->resize(ribbon->width() - (wide - page->sizeHint().width()) - shrink / 2, ribbon->height());
        QTRY_COMPARE(collapsed().count(true), 1);
        ribbon->resize(ribbon->minimumSizeHint().width(), ribbon->height());
        QTRY_COMPARE(collapsed().count(true), 3);
        QVERIFY(page->width() >= page->minimumWidth());
        ribbon->resize(1400, ribbon->height());
        QTRY_COMPARE(collapsed().count(true), 0);
    }

    void ribbonBarParts()
    {
        RibbonBar ribbon;
        QCOMPARE(ribbon.tabBarHeight(), ribbon.fontMetrics().height() + 12);
        QVERIFY(ribbon.styleSheet().contains(ribbon.palette().color(QPalette::Base).name()));
        QAction save(makeIcon({16}), QStringLiteral("Save"));
        QAction undo(makeIcon({16}), QStringLiteral("Undo"));
        undo.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
        ribbon.addQuickAccessAction(&save);
        ribbon.insertQuickAccessAction(0, &undo);
        ribbon.insertQuickAccessAction(9, &save);
        QCOMPARE(ribbon.quickAccessActionCount(), 3);
        QCOMPARE(ribbon.quickAccessAction(0), &undo);
        QCOMPARE(ribbon.quickAccessAction(3), nullptr);
        ribbon.removeQuickAccessAction(2);
        ribbon.removeQuickAccessAction(5);
        QCOMPARE(ribbon.quickAccessActionCount(), 2);
        // The bar carries its buttons' actions, and with them their shortcuts.
        QVERIFY(ribbon.actions().contains(&undo));

        QSignalSpy unchanged(ribbon.tabWidget, &QTabWidget::currentChanged);
        auto *first = new RibbonPage(QStringLiteral("A"));
        auto *second = new RibbonPage(QStringLiteral("B"));
        ribbon.insertPage(0, first);
        ribbon.insertPage(0, second);
        QCOMPARE(ribbon.page(0), second);
        QCOMPARE(ribbon.page(5), nullptr);
        ribbon.removePage(0);
        QCOMPARE(ribbon.pageCount(), 1);
        delete second;

        ribbon.setApplicationButtonText(QStringLiteral("File"));
        const QString sheet = ribbon.tabWidget->styleSheet();
        QVERIFY(sheet.contains(QStringLiteral("left: %1px").arg(ribbon.applicationButton->geometry().right() + 4)));
        QCOMPARE(ribbon.applicationButton->width(), qMax(100, ribbon.applicationButton->sizeHint().width()));
    }

    void taskWidgetRows()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *disabledParent = new QWidget(&window);
        disabledParent->setEnabled(false);
        auto *tasks = new TaskWidget();
        layout->addWidget(tasks);
        tasks->setTitle(QStringLiteral("Tasks"));

        auto *link = new QAction(makeIcon({16}), QStringLiteral("Link"), &window);
        auto *invisible = new QAction(QStringLiteral("Invisible"), &window);
        invisible->setVisible(false);
        auto *nameless = new QAction(&window);
        auto *rich = new QAction(QStringLiteral("Plain"), &window);
        rich->setWhatsThis(QStringLiteral("<b>rich</b>"));
        auto *helpful = new QAction(QStringLiteral("Short"), &window);
        helpful->setWhatsThis(QStringLiteral("The longer help"));
        auto *disabled = new QAction(QStringLiteral("Disabled"), &window);
        disabled->setEnabled(false);
        auto *underDisabled = new QAction(QStringLiteral("Under disabled"), disabledParent);
        auto *blocked = new QAction(QStringLiteral("Blocked"), &window);
        blocked->blockSignals(true);
        const QList<QAction *> all{link, invisible, nameless, rich, helpful, disabled, underDisabled, blocked};
        tasks->addActions(all);

        QStringList texts;
        for (const QLabel *label : tasks->findChildren<QLabel *>()) {
            if (label->pixmap().isNull())
                texts.append(QStringLiteral("%1%2").arg(label->text(), label->isEnabled() ? QString() : QStringLiteral(" (off)")));
        }
        QCOMPARE(texts, (QStringList{"Tasks", "<a href='.'>Link</a>", "<a href='.'>Plain</a>",
                                     "<a href='.'>The longer help</a>", "Disabled (off)",
                                     "Under disabled (off)", "Blocked"}));
        QSignalSpy triggered(link, &QAction::triggered);
        QLabel *first = nullptr;
        for (QLabel *label : tasks->findChildren<QLabel *>()) {
            if (label->text().contains(QStringLiteral(">Link<")))
                first = label;
        }
        Q_EMIT first->linkActivated(QStringLiteral("."));
        QCOMPARE(triggered.count(), 1);

        // Without laid-out ancestors adding actions does not rebuild; updateTasks does.
        QWidget holder;
        auto *loose = new TaskWidget(&holder);
        loose->addAction(link);
        QCOMPARE(loose->findChildren<QLabel *>().size(), 1);
        loose->updateTasks();
        QCOMPARE(loose->findChildren<QLabel *>().size(), 3);
    }

    void treeWidgetDefaults()
    {
        ExtTreeWidget tree;
        QVERIFY(tree.header()->isHidden());
        QVERIFY(tree.uniformRowHeights());
        QCOMPARE(tree.editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void dockTitleWithIcon()
    {
        // The same dock drawn with and without an icon: the title moves right by the icon.
        QMainWindow window;
        auto *dock = new ExtDockWidget(&window);
        dock->setObjectName(QStringLiteral("ExtDockWidget"));
        dock->setWindowTitle(QStringLiteral("Tags"));
        dock->setWidget(new QLabel(QStringLiteral("content")));
        window.addDockWidget(Qt::LeftDockWidgetArea, dock);
        window.resize(400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage plain = dock->grab().toImage();
        QPixmap red(32, 32);
        red.fill(Qt::red);
        dock->icon = QIcon(red);
        dock->update();
        const QImage withIcon = dock->grab().toImage();
        // The icon's box in the title bar, then the title's first column of dark pixels in the
        // rows beside it, drawn without and with the icon.
        QRect icon;
        for (int y = 0; y < qMin(withIcon.height(), 40); ++y) {
            for (int x = 0; x < withIcon.width(); ++x) {
                if (withIcon.pixelColor(x, y) == QColor(Qt::red))
                    icon |= QRect(x, y, 1, 1);
            }
        }
        QVERIFY(icon.isValid());
        auto titleStart = [&icon](const QImage &image) {
            for (int x = 0; x < image.width(); ++x) {
                for (int y = icon.top(); y <= icon.bottom(); ++y) {
                    const QColor c = image.pixelColor(x, y);
                    if (qMax(c.red(), qMax(c.green(), c.blue())) < 128)
                        return x;
                }
            }
            return -1;
        };
        const int before = titleStart(plain);
        const int after = titleStart(withIcon);
        QVERIFY(before >= 0);
        QVERIFY2(after > icon.right(), qPrintable(QStringLiteral("title at %1, icon up to %2").arg(after).arg(icon.right())));
        QVERIFY2(after - before >= icon.width(),
                 qPrintable(QStringLiteral("title moved from %1 to %2, icon %3 wide").arg(before).arg(after).arg(icon.width())));
        QVERIFY(plain.pixelColor(icon.center()) != QColor(Qt::red));
        QVERIFY(qobject_cast<ExtDockWidgetStyle *>(dock->style()));
    }
};

QTEST_MAIN(tst_CommandBars)
#include "tst_commandbars.moc"
