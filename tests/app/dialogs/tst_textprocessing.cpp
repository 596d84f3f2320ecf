#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "app/dialogs/advancedpatterneditorwidget.h"
#include "app/dialogs/howtoremovegroupbox.h"
#include "app/dialogs/optionrow.h"
#include "app/dialogs/support_textdialogs.h"
#include "app/dialogs/textprocessingdialog.h"
#include "app/dialogs/whattoinsertgroupbox.h"
#include "app/dialogs/whattoremovegroupbox.h"
#include "app/dialogs/wheretoinsertgroupbox.h"
#include "app/model/extmimedata.h"
#include "app/model/mimedataentry.h"
#include "app/model/variantmimedataentry.h"
#include "app/operations/operationqueue.h"
#include "libcore/text/codepointstring.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/edits/contentassistlineedit.h"
#include "libgui/edits/extlineedit.h"
#include "libgui/numbers/extspinbox.h"
#include "libtagging/model/tagitem.h"

namespace {

using T = TagItemType::Id;
const ModelDataType Title(T::Title);
const ModelDataType Artist(T::Artist);
const ModelDataType Track(T::TrackNumber);
const ModelDataType FileName(FileProperty::fileName);

// A clipboard grid of texts, rows of columns.
ExtMimeData *grid(const QList<QStringList> &rows)
{
    auto *entry = new MimeDataEntry(int(rows.size()), rows.isEmpty() ? 0 : int(rows.first().size()));
    int slot = 0;
    for (const QStringList &row : rows) {
        for (const QString &text : row)
            entry->setEntry(slot++, new VariantMimeDataEntry(text, 0));
    }
    return new ExtMimeData(entry);
}

void check(QRadioButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2));
    QVERIFY(button->isChecked());
}

} // namespace

// The four option boxes and the text processing dialog over a table: positions and ranges in
// code points, counters, clipboard grids, and one undo step per run.
class tst_TextProcessing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpDialogTests();
    }

    void optionRow_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("buttonText");
        QTest::addColumn<QStringList>("widgets"); // the row after the radio button: "S<n>" spin, text label
        QTest::newRow("placeholder inside") << "after %1 characters" << "after" << QStringList{"S1", "characters"};
        QTest::newRow("placeholder first") << "%1 characters from the start" << ""
                                           << QStringList{"S1", "characters from the start"};
        QTest::newRow("second before first") << "from %2 back to %1" << "from" << QStringList{"S2", "back to", "S1"};
        QTest::newRow("no placeholder") << "at the end" << "at the end" << QStringList{};
        QTest::newRow("percent word is text") << "100%done %x" << "100%done %x" << QStringList{};
    }
    void optionRow()
    {
        QFETCH(QString, text);
        QFETCH(QString, buttonText);
        QFETCH(QStringList, widgets);
        QWidget box;
        auto *layout = new QVBoxLayout(&box);
        QList<ExtSpinBox *> spinBoxes;
        QRadioButton *button = createOptionRow(layout, text, spinBoxes);
        QCOMPARE(button->text(), buttonText);
        auto *row = qobject_cast<QHBoxLayout *>(layout->itemAt(0)->layout());
        QVERIFY(row);
        QStringList seen;
        QMap<int, ExtSpinBox *> byNumber;
        for (int i = 1; i < row->count(); ++i) {
            QWidget *widget = row->itemAt(i)->widget();
            if (auto *spin = qobject_cast<ExtSpinBox *>(widget)) {
                const int n = widgets.at(i - 1).mid(1).toInt();
                byNumber.insert(n, spin);
                seen.append(QStringLiteral("S%1").arg(n));
                QCOMPARE(spin->minimum(), 1);
                QCOMPARE(spin->value(), 1);
            } else {
                seen.append(qobject_cast<QLabel *>(widget)->text());
            }
        }
        QCOMPARE(seen, widgets);
        QCOMPARE(spinBoxes, byNumber.values()); // "%1" first, whatever the sentence order
    }

    // Insert positions and removal ranges over code points: a surrogate pair counts once.
    void positionsAndRanges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("where");     // row of the where-to-insert box
        QTest::addColumn<int>("whereCount");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("what");      // row of the what-to-remove box
        QTest::addColumn<int>("p1");
        QTest::addColumn<int>("p2");
        QTest::addColumn<QString>("range"); // the covered code points
        QTest::newRow("start, all") << "abcdefg" << 0 << 1 << 0 << 0 << 1 << 1 << "abcdefg";
        QTest::newRow("after 3 of 2 appends") << "ab" << 1 << 3 << 2 << 1 << 10 << 1 << "ab";
        QTest::newRow("before 2 from end, last 5 of 3") << "abc" << 2 << 2 << 1 << 2 << 5 << 1 << "abc";
        QTest::newRow("before more than the text") << "abc" << 2 << 9 << 0 << 2 << 1 << 1 << "c";
        QTest::newRow("end, from-start 5 and 2") << "abcdefg" << 3 << 1 << 7 << 3 << 5 << 2 << "bcde";
        QTest::newRow("from-end 1 and 2") << "abcdefg" << 3 << 1 << 7 << 4 << 1 << 2 << "fg";
        QTest::newRow("from-start past the end") << "abc" << 0 << 1 << 0 << 3 << 5 << 9 << "";
        QTest::newRow("from-end past the start") << "abc" << 0 << 1 << 0 << 4 << 7 << 9 << "";
        QTest::newRow("surrogate pairs") << "\U0001F3B5\U0001F3B6x" << 1 << 1 << 1 << 3 << 2 << 2 << "\U0001F3B6";
        QTest::newRow("first of pairs") << "\U0001F3B5\U0001F3B6x" << 2 << 1 << 2 << 1 << 1 << 1 << "\U0001F3B5";
    }
    void positionsAndRanges()
    {
        QFETCH(QString, text);
        QFETCH(int, where);
        QFETCH(int, whereCount);
        QFETCH(int, position);
        QFETCH(int, what);
        QFETCH(int, p1);
        QFETCH(int, p2);
        QFETCH(QString, range);
        WhereToInsertGroupBox whereBox;
        const QList<QRadioButton *> whereButtons{whereBox.startButton, whereBox.afterFromStartButton,
                                                 whereBox.beforeFromEndButton, whereBox.endButton};
        whereButtons.at(where)->setChecked(true);
        whereBox.fromStartSpinBox->setValue(whereCount);
        whereBox.fromEndSpinBox->setValue(whereCount);
        QCOMPARE(whereBox.position(text), position);

        WhatToRemoveGroupBox whatBox;
        const QList<QRadioButton *> whatButtons{whatBox.allButton, whatBox.firstButton, whatBox.lastButton,
                                                whatBox.fromStartButton, whatBox.fromEndButton};
        whatButtons.at(what)->setChecked(true);
        whatBox.firstSpinBox->setValue(p1);
        whatBox.lastSpinBox->setValue(p1);
        whatBox.fromStartSpinBox1->setValue(p1);
        whatBox.fromStartSpinBox2->setValue(p2);
        whatBox.fromEndSpinBox1->setValue(p1);
        whatBox.fromEndSpinBox2->setValue(p2);
        const int a = whatBox.rangeStart(text), b = whatBox.rangeEnd(text);
        QVERIFY(a <= b);
        QCOMPARE(midCodePoints(text, a, b - a), range);
    }

    // Only the checked row's spin boxes take input; the box reports each choice.
    void enabledSpinBoxes()
    {
        WhatToRemoveGroupBox box;
        box.show();
        QVERIFY(!box.firstSpinBox->isEnabled());
        check(box.fromEndButton);
        QVERIFY(box.fromEndSpinBox1->isEnabled() && box.fromEndSpinBox2->isEnabled());
        QVERIFY(!box.firstSpinBox->isEnabled() && !box.fromStartSpinBox1->isEnabled());

        WhatToInsertGroupBox insert;
        insert.show();
        QSignalSpy changed(&insert, &WhatToInsertGroupBox::insertModeChanged);
        QVERIFY(insert.textEdit->isEnabled() && !insert.counterStartSpinBox->isEnabled());
        check(insert.counterButton);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!insert.textEdit->isEnabled() && insert.counterDigitsSpinBox->isEnabled());
        QCOMPARE(insert.counterDigitsSpinBox->value(), 2);
        QCOMPARE(insert.counterStartSpinBox->minimum(), std::numeric_limits<int>::min());
    }

    void counter_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("text");
        QTest::newRow("padded") << qint64(1) << 2 << "01";
        QTest::newRow("wider than the digits") << qint64(10) << 1 << "10";
        QTest::newRow("zero") << qint64(0) << 3 << "000";
        QTest::newRow("negative: sign first") << qint64(-1) << 2 << "-01";
        QTest::newRow("negative wide") << qint64(-123) << 2 << "-123";
        QTest::newRow("beyond int") << qint64(-2147483648LL) - 5 << 1 << "-2147483653";
    }
    void counter()
    {
        QFETCH(qint64, value);
        QFETCH(int, digits);
        QFETCH(QString, text);
        QCOMPARE(WhatToInsertGroupBox::counterText(value, digits), text);
    }

    // A grid smaller than the selection repeats; a single text fills every cell.
    void clipboardGrid()
    {
        QScopedPointer<ExtMimeData> twoByOne(grid({{"a"}, {"b"}}));
        QStringList down;
        for (int row = 0; row < 4; ++row)
            down.append(WhatToInsertGroupBox::clipboardTextAt(twoByOne.data(), row, 0));
        QCOMPARE(down, (QStringList{"a", "b", "a", "b"}));
        QScopedPointer<ExtMimeData> wide(grid({{"a", "b", "c"}}));
        QCOMPARE(WhatToInsertGroupBox::clipboardTextAt(wide.data(), 5, 4), QStringLiteral("b"));
        QScopedPointer<ExtMimeData> leaf(new ExtMimeData(new VariantMimeDataEntry(QStringLiteral("x"), 0)));
        QCOMPARE(WhatToInsertGroupBox::clipboardTextAt(leaf.data(), 3, 2), QStringLiteral("x"));
        QCOMPARE(WhatToInsertGroupBox::clipboardTextAt(nullptr, 0, 0), QString());
    }

    void validation_data()
    {
        QTest::addColumn<int>("choice"); // 3 clipboard, 4 counter
        QTest::addColumn<QString>("clipboard"); // "grid", "text", "image", "none"
        QTest::addColumn<QList<QRect>>("cells");
        QTest::addColumn<quint32>("error"); // 0 none
        const QList<QRect> column{QRect(0, 0, 1, 3)};
        const QList<QRect> twoColumns{QRect(0, 0, 2, 3)};
        const QList<QRect> ragged{QRect(0, 0, 1, 3), QRect(1, 0, 1, 1)};
        QTest::newRow("clipboard text") << 3 << "text" << ragged << 0u;
        QTest::newRow("clipboard empty") << 3 << "none" << column << quint32(NoClipboardTextTextId);
        QTest::newRow("clipboard image") << 3 << "image" << column << quint32(NoClipboardTextTextId);
        QTest::newRow("clipboard grid over a rectangle") << 3 << "grid" << twoColumns << 0u;
        QTest::newRow("clipboard grid over ragged cells") << 3 << "grid" << ragged << quint32(ClipboardNeedsRectangleTextId);
        QTest::newRow("counter down a column") << 4 << "none" << column << 0u;
        QTest::newRow("counter over two columns") << 4 << "none" << twoColumns << quint32(CounterNeedsColumnTextId);
        QTest::newRow("counter over ragged cells") << 4 << "none" << ragged << quint32(CounterNeedsColumnTextId);
        QTest::newRow("counter without cells") << 4 << "none" << QList<QRect>{} << quint32(CounterNeedsColumnTextId);
    }
    void validation()
    {
        QFETCH(int, choice);
        QFETCH(QString, clipboard);
        QFETCH(QList<QRect>, cells);
        QFETCH(quint32, error);
        DialogTable table({Title, Artist}, {{}, {}, {}});
        QItemSelection selection;
        for (const QRect &rect : cells)
            selection.append(QItemSelectionRange(table.view.model()->index(rect.top(), rect.left()),
                                                 table.view.model()->index(rect.bottom(), rect.right())));
        QScopedPointer<QMimeData> data;
        if (clipboard == "grid") {
            data.reset(grid({{"a", "b"}, {"c", "d"}}));
        } else if (clipboard == "text") {
            data.reset(new ExtMimeData(new VariantMimeDataEntry(QStringLiteral("x"), 0)));
        } else if (clipboard == "image") {
            QImage image(4, 4, QImage::Format_RGB32);
            image.fill(Qt::red);
            QApplication::clipboard()->setImage(image);
            data.reset(clipboardMimeData(nullptr));
            QVERIFY(data);
        }
        WhatToInsertGroupBox box;
        (choice == 3 ? box.clipboardButton : box.counterButton)->setChecked(true);
        const QList<ValidationMessage> messages = box.validate(selection, data.data());
        if (error == 0) {
            QVERIFY(messages.isEmpty());
        } else {
            QCOMPARE(messages.size(), 1);
            QCOMPARE(messages.first().level, int(LogLevel::Error));
            QCOMPARE(messages.first().text, upperCaseFirst(textForId(error)));
        }
    }

    // The dialog over the table: every selected text cell processed, one undo step.
    void dialogRuns_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QList<QRect>>("cells");
        QTest::addColumn<QStringList>("titles"); // expected titles of rows 0..2 after OK
        QTest::addColumn<bool>("applied");
        const QList<QRect> titles{QRect(0, 0, 1, 3)};
        QTest::newRow("insert text after 3 of a short value")
            << 0 << "text:XY after:3" << titles << QStringList{"abXY", "abcXYdef", "XY"} << true;
        QTest::newRow("insert counter 01 02 03")
            << 0 << "counter:1,1,2 start" << titles << QStringList{"01ab", "02abcdef", "03"} << true;
        QTest::newRow("insert negative counter")
            << 0 << "counter:0,-1,2 end" << titles << QStringList{"ab00", "abcdef-01", "-02"} << true;
        QTest::newRow("counter restarts in a second rectangle")
            << 0 << "counter:5,1,1 end" << QList<QRect>{QRect(0, 0, 1, 1), QRect(0, 2, 1, 1)}
            << QStringList{"ab5", "abcdef", "5"} << true;
        QTest::newRow("overwrite the first 2")
            << 1 << "text:Z first:2" << titles << QStringList{"Z", "Zcdef", "Z"} << true;
        QTest::newRow("overwrite empty with empty leaves no value")
            << 1 << "text: all" << QList<QRect>{QRect(0, 2, 1, 1)} << QStringList{"ab", "abcdef", ""} << false;
        QTest::newRow("remove the last 5 empties a short value")
            << 2 << "last:5" << titles << QStringList{"", "a", ""} << true;
        QTest::newRow("keep the first 2") << 2 << "keep first:2" << titles << QStringList{"ab", "ab", ""} << true;
        QTest::newRow("nothing changes") << 2 << "fromstart:9,9" << titles << QStringList{"ab", "abcdef", ""} << false;
        QTest::newRow("file name and number cells untouched")
            << 0 << "text:X start" << QList<QRect>{QRect(2, 0, 2, 3)} << QStringList{"ab", "abcdef", ""} << false;
    }
    void dialogRuns()
    {
        QFETCH(int, mode);
        QFETCH(QString, setup);
        QFETCH(QList<QRect>, cells);
        QFETCH(QStringList, titles);
        QFETCH(bool, applied);
        DialogTable table({Title, Artist, FileName, Track},
                          {{{T::Title, "ab"}, {T::TrackNumber, 1}}, {{T::Title, "abcdef"}}, {}});
        table.select(cells);
        const int undo = table.undoCount();
        TextProcessingDialog dialog(TextProcessingMode::Id(mode), *table.window.selection(),
                                    table.window.operationQueue());
        WhatToInsertGroupBox *insert = dialog.whatToInsertBox();
        for (const QString &step : setup.split(u' ')) {
            const QString name = step.section(u':', 0, 0);
            const QStringList args = step.section(u':', 1).split(u',');
            if (name == "text") {
                insert->textEdit->setText(args.value(0));
            } else if (name == "counter") {
                insert->counterButton->setChecked(true);
                insert->counterStartSpinBox->setValue(args.at(0).toInt());
                insert->counterStepSpinBox->setValue(args.at(1).toInt());
                insert->counterDigitsSpinBox->setValue(args.at(2).toInt());
            } else if (name == "after") {
                dialog.whereToInsertBox()->afterFromStartButton->setChecked(true);
                dialog.whereToInsertBox()->fromStartSpinBox->setValue(args.at(0).toInt());
            } else if (name == "end") {
                dialog.whereToInsertBox()->endButton->setChecked(true);
            } else if (name == "first") {
                dialog.whatToRemoveBox()->firstButton->setChecked(true);
                dialog.whatToRemoveBox()->firstSpinBox->setValue(args.at(0).toInt());
            } else if (name == "last") {
                dialog.whatToRemoveBox()->lastButton->setChecked(true);
                dialog.whatToRemoveBox()->lastSpinBox->setValue(args.at(0).toInt());
            } else if (name == "fromstart") {
                dialog.whatToRemoveBox()->fromStartButton->setChecked(true);
                dialog.whatToRemoveBox()->fromStartSpinBox1->setValue(args.at(0).toInt());
                dialog.whatToRemoveBox()->fromStartSpinBox2->setValue(args.at(1).toInt());
            } else if (name == "keep") {
                dialog.howToRemoveBox()->keepButton->setChecked(true);
            }
        }
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QStringList seen;
        for (int row = 0; row < 3; ++row)
            seen.append(table.cell(row, 0).toString());
        QCOMPARE(seen, titles);
        QCOMPARE(table.undoCount(), undo + (applied ? 1 : 0));
        if (applied) {
            table.window.operationQueue()->undo();
            QCOMPARE(table.cell(0, 0).toString(), QStringLiteral("ab"));
            QCOMPARE(table.cell(1, 0).toString(), QStringLiteral("abcdef"));
        }
        QCOMPARE(table.cell(0, 3).toInt(), 1);
    }

    // Every value of a multi-value cell gets the same row offset.
    void multiValueCell()
    {
        DialogTable table({Artist}, {{{T::Artist, "A"}, {T::Artist, "B"}}, {{T::Artist, "C"}}});
        table.select({QRect(0, 0, 1, 2)});
        TextProcessingDialog dialog(TextProcessingMode::Insert, *table.window.selection(), table.window.operationQueue());
        dialog.whatToInsertBox()->counterButton->setChecked(true);
        dialog.whatToInsertBox()->counterDigitsSpinBox->setValue(1);
        dialog.whereToInsertBox()->endButton->setChecked(true);
        dialog.accept();
        QCOMPARE(table.texts(T::Artist, 0), (QStringList{"A1", "B1"}));
        QCOMPARE(table.texts(T::Artist, 1), (QStringList{"C2"}));
    }

    // Clipboard text gets a blank on each side where it meets a word (the second value begins
    // with a blank of its own).
    void clipboardInsertion_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("blank added on both sides") << "x" << QStringList{"a x b", " x b", "a x"};
        QTest::newRow("own trailing blank kept") << "x " << QStringList{"a x b", " x b", "a x "};
        QTest::newRow("grid down the rows") << "1\n2\n3" << QStringList{"a 1 b", " 2 b", "a 3"};
    }
    void clipboardInsertion()
    {
        QFETCH(QString, clipboard);
        QFETCH(QStringList, titles);
        DialogTable table({Title}, {{{T::Title, "ab"}}, {{T::Title, " b"}}, {{T::Title, "a"}}});
        table.select({QRect(0, 0, 1, 3)});
        QApplication::clipboard()->setText(clipboard);
        TextProcessingDialog dialog(TextProcessingMode::Insert, *table.window.selection(), table.window.operationQueue());
        dialog.whatToInsertBox()->clipboardButton->setChecked(true);
        dialog.whereToInsertBox()->afterFromStartButton->setChecked(true);
        dialog.updateGui();
        QVERIFY(dialog.validate().valid);
        dialog.accept();
        QStringList seen;
        for (int row = 0; row < 3; ++row)
            seen.append(table.cell(row, 0).toString());
        QCOMPARE(seen, titles);
    }

    // An advanced pattern is evaluated for each file.
    void patternInsertion()
    {
        DialogTable table({Title, Artist}, {{{T::Title, "ab"}, {T::Artist, "Air"}}, {{T::Title, "cd"}}});
        table.select({QRect(0, 0, 1, 2)});
        TextProcessingDialog dialog(TextProcessingMode::Insert, *table.window.selection(), table.window.operationQueue());
        dialog.whatToInsertBox()->advancedPatternButton->setChecked(true);
        dialog.whatToInsertBox()->advancedPatternEditor->lineEdits().first()->setText(QStringLiteral("[%artist% - ]"));
        dialog.accept();
        QCOMPARE(table.cell(0, 0).toString(), QStringLiteral("Air - ab"));
        QCOMPARE(table.cell(1, 0).toString(), QStringLiteral("cd"));
    }

    // Validation errors disable OK; a pattern that does not parse inserts nothing but lets OK run.
    void dialogValidation()
    {
        DialogTable table({Title, Artist}, {{{T::Title, "ab"}}, {{T::Title, "cd"}}});
        table.select({QRect(0, 0, 2, 2)});
        TextProcessingDialog dialog(TextProcessingMode::Insert, *table.window.selection(), table.window.operationQueue());
        dialog.show();
        QPushButton *ok = nullptr;
        for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
            if (button->text() == upperCaseFirst(textForId(CommonDialogOkTextId)))
                ok = button;
        }
        QVERIFY(ok);
        QVERIFY(ok->isEnabled());
        check(dialog.whatToInsertBox()->counterButton);
        QVERIFY(!ok->isEnabled());
        check(dialog.whatToInsertBox()->advancedPatternButton);
        QVERIFY(ok->isEnabled());
        dialog.whatToInsertBox()->advancedPatternEditor->lineEdits().first()->setText(QStringLiteral("$if("));
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(table.cell(0, 0).toString(), QStringLiteral("ab"));
    }
};

QTEST_MAIN(tst_TextProcessing)
#include "tst_textprocessing.moc"
