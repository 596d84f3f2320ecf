#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "app/dialogs/advancedpatterneditorwidget.h"
#include "app/dialogs/filepatterneditorwidget.h"
#include "app/dialogs/folderpatterneditorwidget.h"
#include "app/dialogs/modeldatatypecombobox.h"
#include "app/dialogs/simplepatterneditorwidget.h"
#include "app/dialogs/support_dialogs.h"
#include "app/tagscript/namingpattern.h"
#include "libgui/edits/contentassistlineedit.h"

namespace {

NamingPattern simple(const QList<QStringList> &levels)
{
    NamingPattern pattern;
    pattern.levels = levels;
    return pattern;
}

NamingPattern advanced(const QList<QStringList> &levels)
{
    NamingPattern pattern;
    pattern.isSimple = false;
    pattern.levels = levels;
    return pattern;
}

QStringList keys(const SimplePatternEditorWidget &editor, int row)
{
    QStringList result;
    for (ModelDataTypeComboBox *box : *editor.boxRows().at(row))
        result.append(box->currentKey());
    return result;
}

// The tool buttons of the editor by tool tip, in row order.
QList<QToolButton *> buttons(QWidget *editor)
{
    QList<QToolButton *> result;
    for (QToolButton *button : editor->findChildren<QToolButton *>())
        result.append(button);
    return result;
}

} // namespace

class tst_PatternEditors : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { loadDialogTestPackages(); }

    void singleRowEditor()
    {
        SimplePatternEditorWidget editor(false);
        QVERIFY(editor.addRow());
        QVERIFY(!editor.addRow());
        QCOMPARE(editor.rowCount(), 1);
        QVERIFY(buttons(&editor).isEmpty());
        editor.setPattern(simple({{"%artist%"}, {"%title%"}}));
        QCOMPARE(editor.pattern(), simple({{"%artist%"}}));
    }

    void multiRowButtons()
    {
        AdvancedPatternEditorWidget editor(true);
        editor.addRow();
        QList<QToolButton *> found = buttons(&editor);
        QCOMPARE(found.size(), 1);
        QToolButton *add = found.first();
        // The last row is empty: no new row.
        add->click();
        QCOMPARE(editor.rowCount(), 1);
        editor.lineEdits().first()->setText(QStringLiteral("%artist%"));
        add->click();
        QCOMPARE(editor.rowCount(), 2);
        found = buttons(&editor);
        QCOMPARE(found.size(), 2);
        QToolButton *remove = found.at(0) == add ? found.at(1) : found.at(0);
        QSignalSpy changed(&editor, &PatternEditorWidget::patternChanged);
        remove->click();
        QCOMPARE(editor.rowCount(), 1);
        QCOMPARE(changed.count(), 1);
    }

    void simpleChoiceAddsSeparator()
    {
        SimplePatternEditorWidget editor(true);
        editor.addRow();
        editor.show();
        QVERIFY(editor.hintTextLabel()->isVisible());
        QSignalSpy changed(&editor, &PatternEditorWidget::patternChanged);
        ModelDataTypeComboBox *box = editor.boxRows().first()->first();
        box->setCurrentKey(QStringLiteral("%artist%"));
        Q_EMIT box->activated(box->currentIndex());
        QCOMPARE(keys(editor, 0), (QStringList{"%artist%", " - ", ""}));
        QCOMPARE(editor.pattern(), simple({{"%artist%", " - "}}));
        QVERIFY(!editor.hintTextLabel()->isVisible());
        QCOMPARE(changed.count(), 1);

        // Dismissing the new empty box takes the separator back.
        ModelDataTypeComboBox *last = editor.boxRows().first()->last();
        last->hidePopup();
        Q_EMIT last->popupHidden(false);
        QCOMPARE(keys(editor, 0), (QStringList{"%artist%", ""}));
        QCOMPARE(editor.pattern(), simple({{"%artist%"}}));
    }

    void setAndReadPatterns_data()
    {
        QTest::addColumn<NamingPattern>("given");
        QTest::addColumn<NamingPattern>("simpleResult");
        QTest::addColumn<NamingPattern>("advancedResult");
        QTest::newRow("two levels") << simple({{"%albumArtist%"}, {"%album%", " - "}})
                                    << simple({{"%albumArtist%"}, {"%album%", " - "}})
                                    << advanced({{"%albumArtist%"}, {"%album% - "}});
        QTest::newRow("free text") << advanced({{"$upper(%artist%)"}, {"%album%"}})
                                   << simple({{"%album%"}})
                                   << advanced({{"$upper(%artist%)"}, {"%album%"}});
        QTest::newRow("blanks kept, blank level dropped")
            << advanced({{" %title% "}, {"  "}}) << simple({}) << advanced({{" %title% "}});
        QTest::newRow("nothing") << simple({}) << simple({}) << advanced({});
    }

    void setAndReadPatterns()
    {
        QFETCH(NamingPattern, given);
        QFETCH(NamingPattern, simpleResult);
        QFETCH(NamingPattern, advancedResult);
        SimplePatternEditorWidget simpleEditor(true);
        AdvancedPatternEditorWidget advancedEditor(true);
        QSignalSpy changed(&simpleEditor, &PatternEditorWidget::patternChanged);
        simpleEditor.setPattern(given);
        advancedEditor.setPattern(given);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(simpleEditor.pattern(), simpleResult);
        QCOMPARE(advancedEditor.pattern(), advancedResult);
        QCOMPARE(simpleEditor.rowCount(), qMax(1, int(given.levels.size())));
    }

    void combinedModes()
    {
        FilePatternEditorWidget editor;
        QSignalSpy changed(&editor, &CombinedPatternEditorWidget::patternChanged);
        editor.setPattern(simple({{"%artist%", " - ", "%title%"}}));
        QVERIFY(changed.count() >= 1);
        QVERIFY(editor.simpleRadioButton()->isChecked());
        QCOMPARE(editor.pattern(), simple({{"%artist%", " - ", "%title%"}}));
        QCOMPARE(editor.advancedEditor()->lineEdits().first()->text(), QStringLiteral("%artist% - %title%"));
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.advancedRadioButton()->setFocus();
        QTest::keyClick(editor.advancedRadioButton(), Qt::Key_Space);
        QVERIFY(editor.advancedRadioButton()->isChecked());
        QCOMPARE(editor.pattern(), advanced({{"%artist% - %title%"}}));
        QVERIFY(!editor.simpleEditor()->isVisible());
        QVERIFY(buttons(&editor).isEmpty());
    }

    void folderEditorRoot()
    {
        FolderPatternEditorWidget editor(true);
        QCOMPARE(editor.rootLineEdits().size(), 2);
        // Root row and first level row: one browse button and one add button per half.
        QCOMPARE(buttons(editor.simpleEditor()).size(), 2);
        editor.setRootPath(QStringLiteral("/music/new"));
        QCOMPARE(editor.rootLineEdits().at(1)->text(), QStringLiteral("/music/new"));
        QSignalSpy changed(&editor, &CombinedPatternEditorWidget::patternChanged);
        editor.show();
        ExtLineEdit *first = editor.rootLineEdits().at(0);
        first->clear();
        first->setFocus();
        QTest::keyClicks(first, QStringLiteral("\\data\\x\\"));
        QCOMPARE(editor.rootPath(), QStringLiteral("/data/x"));
        QCOMPARE(editor.rootLineEdits().at(1)->text(), QStringLiteral("\\data\\x\\"));
        QVERIFY(changed.count() >= 1);

        FolderPatternEditorWidget readOnly(false);
        readOnly.setRootPath(QStringLiteral("/lib"));
        QVERIFY(readOnly.rootLineEdits().isEmpty());
        QCOMPARE(buttons(readOnly.simpleEditor()).size(), 1);
    }
};

QTEST_MAIN(tst_PatternEditors)
#include "tst_patterneditors.moc"
