#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "libcore/settings/settingsstore.h"
#include "libgui/buttons/wordwrappedbutton.h"
#include "libgui/combos/extcombobox.h"
#include "libgui/dialogs/commondialog.h"
#include "libgui/dialogs/commondialognavigationpage.h"
#include "libgui/dialogs/commondialogsettingspage.h"
#include "libgui/settings/booleansettingeditorwidget.h"
#include "libgui/settings/bytesizesettingeditorwidget.h"
#include "libgui/settings/colorsettingeditorwidget.h"
#include "libgui/settings/enumsettingeditorwidget.h"
#include "libgui/settings/localesettingeditorwidget.h"
#include "libgui/support_gui.h"
#include "libgui/widgets/taskwidget.h"

namespace {

const QString Key = QStringLiteral("test/value");

// One page with a boolean and a check-box editor below a prefix.
class TogglePage : public CommonDialogSettingsPage
{
public:
    TogglePage() : CommonDialogSettingsPage(QStringLiteral("test")) {}

    void setupGui() override
    {
        ++setups;
        flag = new BooleanSettingEditorWidget(settingsPrefix + QStringLiteral("/flag"), QStringLiteral("Flag"));
        addSettingEditor(flag, QStringLiteral("Flag"), QStringLiteral("A flag."));
        kinds = new EnumSettingEditorWidget(settingsPrefix + QStringLiteral("/kinds"),
                                            EnumSettingEditorWidget::CheckBoxes);
        kinds->addOption(QStringLiteral("A"), 0);
        kinds->addOption(QStringLiteral("B"), 1);
        addSettingEditor(kinds, QStringLiteral("Kinds"), QString());
    }

    int setups = 0;
    BooleanSettingEditorWidget *flag = nullptr;
    EnumSettingEditorWidget *kinds = nullptr;
};

class PageDialog : public CommonDialog
{
public:
    using CommonDialog::CommonDialog;
    void setPages_(const QList<CommonDialogPage *> &list) { setPages(list); }
};

} // namespace

class tst_SettingEditors : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    // The defaults document, and a user document holding what is given.
    void setUp(const QByteArray &user = QByteArray())
    {
        const QString defaults = dir.filePath(QStringLiteral("defaults.xml"));
        QFile file(defaults);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<settings><test><value/><flag>true</flag><kinds>1</kinds></test></settings>");
        file.close();
        SettingsStore::loadDefaultsFile(defaults);
        SettingsStore::reset();
        if (!user.isNull())
            SettingsStore::setValue(Key, QString::fromUtf8(user));
    }

    static QStringList rowTexts(const QListWidget *list)
    {
        QStringList rows;
        for (int i = 0; i < list->count(); ++i) {
            const QListWidgetItem *item = list->item(i);
            rows.append(item->text() + (item->checkState() == Qt::Checked ? QStringLiteral("+") : QString()));
        }
        return rows;
    }

private slots:
    void initTestCase() { initGuiTestPackages(); }

    void enumRoundTrip_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QList<int>>("checked"); // indexes of the options, in the order added
        QTest::addColumn<QString>("storedBack");
        QTest::newRow("radio 1") << 0 << "1" << QList<int>{1} << "1";
        QTest::newRow("radio list text is one part") << 0 << "1,2" << QList<int>{} << "";
        QTest::newRow("radio unknown") << 0 << "7" << QList<int>{} << "";
        QTest::newRow("check 2,0") << 1 << "2,0" << QList<int>{0, 2} << "0,2";
        QTest::newRow("check empty") << 1 << "" << QList<int>{} << "";
        QTest::newRow("check escaped text") << 1 << "x\\,y\\\\z" << QList<int>{3} << "x\\,y\\\\z";
        QTest::newRow("check trailing backslash") << 1 << "1,\\" << QList<int>{1} << "1";
    }

    void enumRoundTrip()
    {
        QFETCH(int, style);
        QFETCH(QString, stored);
        QFETCH(QList<int>, checked);
        QFETCH(QString, storedBack);
        setUp(stored.toUtf8());
        EnumSettingEditorWidget editor(Key, EnumSettingEditorWidget::Style(style));
        editor.addOption(QStringLiteral("zero"), 0);
        editor.addOption(QStringLiteral("one"), 1);
        editor.addOption(QStringLiteral("two"), 2);
        editor.addOption(QStringLiteral("text"), QStringLiteral("x,y\\z"));
        QSignalSpy changed(&editor, &SettingEditorWidget::valueChanged);
        editor.load();
        QList<int> actual;
        for (int i = 0; i < 4; ++i) {
            const QAbstractButton *button = style == 0 ? static_cast<QAbstractButton *>(editor.radioButtons.at(i))
                                                       : editor.checkBoxes.at(i);
            if (button->isChecked())
                actual.append(i);
        }
        QCOMPARE(actual, checked);
        QCOMPARE(SettingsStore::value(Key), stored); // load never writes
        if (!checked.isEmpty())
            QVERIFY(changed.count() > 0);
        editor.store();
        QCOMPARE(SettingsStore::value(Key), storedBack);
    }

    void decodeValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariantList>("values");
        QTest::newRow("empty gives one empty part") << "" << QVariantList{QString()};
        QTest::newRow("trailing comma") << "1," << QVariantList{1, QString()};
        QTest::newRow("escapes") << "a\\,b,c\\\\d" << QVariantList{QStringLiteral("a,b"), QStringLiteral("c\\d")};
        QTest::newRow("numbers and texts") << "3,-4,x" << QVariantList{3, -4, QStringLiteral("x")};
        QTest::newRow("surrogate pair after backslash") << QStringLiteral("\\\U0001F3B5,b")
                                                        << QVariantList{QStringLiteral("\U0001F3B5"), QStringLiteral("b")};
    }

    void decodeValues()
    {
        QFETCH(QString, text);
        QFETCH(QVariantList, values);
        QCOMPARE(EnumSettingEditorWidget::decodeValues(text, true), values);
        if (values.size() > 1 && text != QStringLiteral("1,"))
            QCOMPARE(EnumSettingEditorWidget::decodeValues(EnumSettingEditorWidget::encodeValues(values), true), values);
    }

    void orderedCheckList()
    {
        setUp("c,a");
        EnumSettingEditorWidget editor(Key, EnumSettingEditorWidget::OrderedCheckList);
        editor.addOption(QStringLiteral("a"), QStringLiteral("a"));
        editor.addOption(QStringLiteral("b"), QStringLiteral("b"));
        editor.addOption(QStringLiteral("c"), QStringLiteral("c"));
        editor.load();
        QCOMPARE(rowTexts(editor.listWidget), (QStringList{"c+", "a+", "b"}));
        editor.store();
        QCOMPARE(SettingsStore::value(Key), QStringLiteral("c,a"));

        // No current row: both buttons disabled.
        QVERIFY(!editor.upButton->isEnabled());
        QVERIFY(!editor.downButton->isEnabled());
        QSignalSpy changed(&editor, &SettingEditorWidget::valueChanged);
        editor.listWidget->setCurrentRow(2);
        QVERIFY(editor.upButton->isEnabled());
        QVERIFY(!editor.downButton->isEnabled());
        editor.downButton->click(); // disabled: nothing moves
        QCOMPARE(changed.count(), 0);
        editor.upButton->click();
        editor.upButton->click();
        QCOMPARE(editor.listWidget->currentRow(), 0);
        QVERIFY(!editor.upButton->isEnabled());
        QCOMPARE(changed.count(), 2);
        editor.listWidget->item(0)->setCheckState(Qt::Checked);
        editor.store();
        QCOMPARE(SettingsStore::value(Key), QStringLiteral("b,c,a"));

        // Unknown values keep their positions: a to row 0, b to row 2.
        editor.setSelectedValues({QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("b")});
        QCOMPARE(rowTexts(editor.listWidget), (QStringList{"a+", "c", "b+"}));
    }

    void byteSize()
    {
        setUp("lots");
        ByteSizeSettingEditorWidget editor(Key);
        editor.setRange(512, 4 * 1048576);
        editor.load();
        QCOMPARE(editor.value(), 512);
        SettingsStore::setValue(Key, QStringLiteral("1048576"));
        editor.load();
        QCOMPARE(editor.value(), 1048576);
        editor.store();
        QCOMPARE(SettingsStore::value(Key), QStringLiteral("1048576"));
    }

    void color()
    {
        setUp("#FF0000");
        ColorSettingEditorWidget editor(Key);
        QSignalSpy changed(&editor, &SettingEditorWidget::valueChanged);
        editor.load();
        QCOMPARE(editor.color(), QColor(Qt::red));
        QCOMPARE(changed.count(), 1);
        const QPalette palette = editor.swatch->palette();
        QCOMPARE(palette.color(QPalette::Inactive, QPalette::Window), QColor(Qt::red));
        QVERIFY(palette.color(QPalette::WindowText) != palette.color(QPalette::Window));
        editor.store();
        QCOMPARE(SettingsStore::value(Key), QStringLiteral("#ff0000"));
        SettingsStore::setValue(Key, QStringLiteral("not a colour"));
        editor.load();
        QCOMPARE(editor.color(), QColor(Qt::red));
        QCOMPARE(changed.count(), 1);
        QVERIFY(!editor.changeButton->toolTip().isEmpty());
    }

    void boolean_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("checked");
        QTest::newRow("yes between spaces") << "  Yes " << true;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("false") << "false" << false;
        QTest::newRow("other word") << "maybe" << false;
    }

    void boolean()
    {
        QFETCH(QString, stored);
        QFETCH(bool, checked);
        setUp(stored.toUtf8());
        BooleanSettingEditorWidget editor(Key, QStringLiteral("Switch"));
        editor.load();
        QCOMPARE(editor.isChecked(), checked);
        editor.store();
        QCOMPARE(SettingsStore::value(Key), checked ? QStringLiteral("true") : QStringLiteral("false"));
    }

    void locale()
    {
        setUp("de-AT");
        LocaleSettingEditorWidget editor(Key);
        editor.load();
        QCOMPARE(editor.comboBox->currentData().toString(), QStringLiteral("de-AT"));
        editor.store();
        QCOMPARE(SettingsStore::value(Key), QStringLiteral("de-AT"));
        // A locale's default country is left out of its name: de-DE is the item "de".
        SettingsStore::setValue(Key, QStringLiteral("de-DE"));
        editor.load();
        QCOMPARE(editor.comboBox->currentData().toString(), QStringLiteral("de"));
        // A cleared text stores the empty text.
        editor.comboBox->setEditText(QString());
        editor.store();
        QCOMPARE(SettingsStore::value(Key), QString());
    }

    void settingsPageLazySetup()
    {
        setUp();
        PageDialog dialog;
        auto *shown = new TogglePage();
        auto *neverShown = new TogglePage();
        dialog.setPages_({shown, neverShown});
        QCOMPARE(shown->setups, 0);
        QVERIFY(shown->editors.isEmpty());
        dialog.setCurrentPage(shown);
        QCOMPARE(shown->setups, 1);
        QCOMPARE(shown->editors.size(), 2);
        QVERIFY(shown->flag->isChecked()); // the default, loaded on the first show
        shown->flag->checkBox->setChecked(false);
        dialog.setCurrentPage(shown); // a second show neither rebuilds nor reloads
        QCOMPARE(shown->setups, 1);
        QVERIFY(!shown->flag->isChecked());

        // An editor added outside setupGui is dropped.
        shown->initialized = false;
        shown->addSettingEditor(new BooleanSettingEditorWidget(Key, QString(), shown), QString(), QString());
        shown->initialized = true;
        QCOMPARE(shown->editors.size(), 2);

        shown->storeEditors();
        neverShown->storeEditors();
        QCOMPARE(SettingsStore::value(QStringLiteral("test/flag")), QStringLiteral("false"));
        QVERIFY(SettingsStore::isUnset(QStringLiteral("test/kinds")) == false);

        // Restoring the defaults removes the user's values and shows the defaults again.
        SettingsStore::setValue(QStringLiteral("test/kinds"), QStringLiteral("0"));
        shown->loadEditors();
        QVERIFY(shown->kinds->checkBoxes.at(0)->isChecked());
        shown->restoreDefaults();
        QVERIFY(shown->flag->isChecked());
        QVERIFY(!shown->kinds->checkBoxes.at(0)->isChecked());
        QVERIFY(shown->kinds->checkBoxes.at(1)->isChecked());
        QCOMPARE(SettingsStore::value(QStringLiteral("test/flag")), QStringLiteral("true"));
        QCOMPARE(SettingsStore::value(QStringLiteral("test/kinds")), QStringLiteral("1"));
    }

    void navigationPage()
    {
        PageDialog dialog;
        auto *navigation = new CommonDialogNavigationPage();
        auto *first = new CommonDialogPage();
        first->title = QStringLiteral("First");
        auto *second = new CommonDialogPage();
        second->title = QStringLiteral("Second");
        navigation->childPages = {first, second};
        auto *empty = new CommonDialogNavigationPage();
        dialog.setPages_({navigation, empty});
        dialog.setCurrentPage(empty);
        QVERIFY(empty->taskWidget);
        QCOMPARE(empty->taskWidget->findChildren<QLabel *>().size(), 1); // the title only
        QVERIFY(!empty->taskWidget->title().isEmpty());

        dialog.setCurrentPage(navigation);
        const QList<QLabel *> labels = navigation->taskWidget->findChildren<QLabel *>();
        QLabel *secondLink = nullptr;
        for (QLabel *label : labels) {
            if (label->text().contains(QStringLiteral(">Second<")))
                secondLink = label;
        }
        QVERIFY(secondLink);
        Q_EMIT secondLink->linkActivated(QStringLiteral("."));
        QCOMPARE(dialog.currentPage(), second);
    }
};

QTEST_MAIN(tst_SettingEditors)
#include "tst_settingeditors.moc"
