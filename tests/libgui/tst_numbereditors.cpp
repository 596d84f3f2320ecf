#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QVBoxLayout>
#include <QtTest>

#include "libgui/numbers/bytesizeeditor.h"
#include "libgui/numbers/sliderselector.h"
#include "libgui/support_gui.h"

namespace {

QStringList units(const ByteSizeEditor &editor)
{
    QStringList names;
    for (int i = 0; i < editor.unitCombo->count(); ++i)
        names.append(editor.unitCombo->itemText(i));
    return names;
}

// Exposes the spin box's line edit and text conversions.
class SpinBox : public ExtSpinBox
{
public:
    using ExtSpinBox::lineEdit;
    using ExtSpinBox::validate;
};

} // namespace

class tst_NumberEditors : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initGuiTestPackages(); }

    void unitsByRange_data()
    {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("unitCount");
        QTest::newRow("1023: bytes only") << 1023 << 1;
        QTest::newRow("1024: KiB") << 1024 << 2;
        QTest::newRow("1048575") << 1048575 << 2;
        QTest::newRow("1048576: MiB") << 1048576 << 3;
        QTest::newRow("1073741824: all") << 1073741824 << 4;
    }

    void unitsByRange()
    {
        QFETCH(int, maximum);
        QFETCH(int, unitCount);
        ByteSizeEditor editor;
        editor.setRange(0, maximum);
        QCOMPARE(editor.unitCombo->count(), unitCount);
        QCOMPARE(units(editor).mid(1), (QStringList{"KiB", "MiB", "GiB"}).mid(0, unitCount - 1));
        QVERIFY(!units(editor).at(0).isEmpty());
    }

    void setValueShowsLargestExactUnit_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("value");
        QTest::newRow("1 MiB") << 0 << 1048576 << 1 << 2 << 1048576;
        QTest::newRow("1536 bytes") << 0 << 1536 << 1536 << 0 << 1536;
        QTest::newRow("3 KiB") << 0 << 3072 << 3 << 1 << 3072;
        QTest::newRow("0 bytes") << 0 << 0 << 0 << 0 << 0;
        QTest::newRow("2 GiB - 1") << 0 << 2147483647 << 2147483647 << 0 << 2147483647;
        QTest::newRow("1 GiB") << 0 << 1073741824 << 1 << 3 << 1073741824;
        QTest::newRow("below the minimum") << 4096 << 100 << 4 << 1 << 4096;
    }

    void setValueShowsLargestExactUnit()
    {
        QFETCH(int, minimum);
        QFETCH(int, bytes);
        QFETCH(int, shown);
        QFETCH(int, unit);
        QFETCH(int, value);
        ByteSizeEditor editor;
        editor.setRange(minimum, 2147483647);
        editor.setValue(bytes);
        QCOMPARE(editor.spinBox->value(), shown);
        QCOMPARE(editor.unitCombo->currentIndex(), unit);
        QCOMPARE(editor.value(), value);
    }

    void switchingUnits()
    {
        ByteSizeEditor editor;
        QSignalSpy changed(&editor, &ByteSizeEditor::valueChanged);
        editor.setValue(1048576);
        editor.unitCombo->setCurrentIndex(1);
        QCOMPARE(editor.spinBox->value(), 1024);
        QCOMPARE(editor.value(), 1048576);
        QCOMPARE(editor.spinBox->maximum(), 2147483647 / 1024);

        editor.setValue(1536);
        QCOMPARE(editor.unitCombo->currentIndex(), 0);
        editor.unitCombo->setCurrentIndex(1); // a larger unit truncates
        QCOMPARE(editor.spinBox->value(), 1);
        QCOMPARE(editor.value(), 1024);
        editor.unitCombo->setCurrentIndex(3);
        QCOMPARE(editor.spinBox->value(), 0);
        editor.spinBox->setValue(1);
        QCOMPARE(editor.value(), 1073741824);
        QVERIFY(changed.count() >= 4);

        // A new range after a large unit: bytes at the minimum, and every byte count of the
        // range can be entered (the GiB unit's 0..1 must not stay behind).
        editor.setRange(10, 1000);
        QCOMPARE(editor.unitCombo->count(), 1);
        QCOMPARE(editor.spinBox->value(), 10);
        QCOMPARE(editor.value(), 10);
        editor.spinBox->setValue(500);
        QCOMPARE(editor.value(), 500);
        editor.spinBox->setValue(5000);
        QCOMPARE(editor.value(), 1000);
    }

    void spinBoxEmptyMinimum()
    {
        SpinBox spin;
        spin.setRange(0, 2147483647);
        spin.setEmptyForMinimum(true);
        spin.setValue(0);
        QCOMPARE(spin.text(), QString());
        QString empty;
        int pos = 0;
        QCOMPARE(spin.validate(empty, pos), QValidator::Acceptable);
        spin.show();
        spin.setValue(42);
        QCOMPARE(spin.text(), QStringLiteral("42"));
        spin.lineEdit()->selectAll();
        QTest::keyClick(spin.lineEdit(), Qt::Key_Backspace);
        QTest::keyClick(&spin, Qt::Key_Return);
        QCOMPARE(spin.value(), 0);
        spin.setValue(7);
        spin.clearValue();
        QCOMPARE(spin.value(), 0);
        QCOMPARE(spin.text(), QString());

        // Without the flag the minimum shows as a number and clearing does nothing.
        ExtSpinBox plain;
        plain.setValue(5);
        plain.clearValue();
        QCOMPARE(plain.value(), 5);
        plain.setValue(0);
        QCOMPARE(plain.text(), QStringLiteral("0"));
    }

    void wheelOnlyWithFocus()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *spin = new ExtSpinBox(&window);
        auto *other = new QLineEdit(&window);
        layout->addWidget(spin);
        layout->addWidget(other);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
        turnWheel(spin, 120);
        QCOMPARE(spin->value(), 0);
        spin->setFocus();
        QTRY_VERIFY(spin->hasFocus());
        turnWheel(spin, 120);
        QCOMPARE(spin->value(), 1);
    }

    void sliderSelector()
    {
        SliderSelector selector;
        selector.show();
        selector.setLabels(QString(), QStringLiteral("best"));
        QVERIFY(selector.leftLabel->isHidden());
        QVERIFY(!selector.rightLabel->isHidden());
        selector.slider->setValue(40);
        QCOMPARE(selector.value(), 40);
        QCOMPARE(selector.spinBox->value(), 40);
        selector.spinBox->selectAll();
        QTest::keyClicks(selector.spinBox, QStringLiteral("70"));
        QCOMPARE(selector.slider->value(), 70);
        selector.setRange(0, 50);
        QCOMPARE(selector.value(), 50);
        QCOMPARE(selector.slider->value(), 50);
    }
};

QTEST_MAIN(tst_NumberEditors)
#include "tst_numbereditors.moc"
