#include <QVBoxLayout>
#include <QtTest>

#include "libgui/edits/contenttiplabel.h"
#include "libgui/edits/datetimeeditor.h"
#include "libgui/edits/datetimevalidator.h"
#include "libgui/support_gui.h"

// The editor is typed into as a user would: focus, key clicks, focus moving on.
class tst_DateTimeEditor : public QObject
{
    Q_OBJECT

    QWidget *window = nullptr;
    DateTimeEditor *editor = nullptr;
    QLineEdit *other = nullptr;

    void focusEditor(int cursor = 0)
    {
        editor->setFocus();
        QTRY_VERIFY(editor->hasFocus());
        editor->setCursorPosition(cursor);
    }

    void leaveEditor()
    {
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
    }

private slots:
    void initTestCase() { initGuiTestPackages(); }

    void init()
    {
        window = new QWidget();
        auto *layout = new QVBoxLayout(window);
        editor = new DateTimeEditor();
        other = new QLineEdit();
        layout->addWidget(editor);
        layout->addWidget(other);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        leaveEditor();
    }

    void cleanup()
    {
        delete window;
        window = nullptr;
    }

    void typedKeys_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");

        // A first digit that cannot start the field gets a zero and the cursor moves on.
        QTest::newRow("month 2") << "2004" << 5 << "2" << "2004-02-__ __:__:__" << 8;
        QTest::newRow("month 1 3 rejected") << "2004" << 5 << "13" << "2004-1_-__ __:__:__" << 6;
        QTest::newRow("month 12") << "2004" << 5 << "12" << "2004-12-__ __:__:__" << 8;
        QTest::newRow("february day 3") << "2001-02" << 8 << "3" << "2001-02-03 __:__:__" << 11;
        QTest::newRow("april day 31 rejected") << "2001-04" << 8 << "31" << "2001-04-3_ __:__:__" << 9;
        QTest::newRow("hour 3") << "2001-04-05" << 11 << "3" << "2001-04-05 03:__:__" << 14;
        QTest::newRow("minute 6") << "2001-04-05 10" << 14 << "6" << "2001-04-05 10:06:__" << 17;
        QTest::newRow("second 6") << "2001-04-05 10:20" << 17 << "6" << "2001-04-05 10:20:06" << 19;
        QTest::newRow("whole date") << "" << 0 << "20040229" << "2004-02-29 __:__:__" << 11;
    }

    void typedKeys()
    {
        QFETCH(QString, start);
        QFETCH(int, cursor);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(int, position);
        editor->setText(start);
        focusEditor(cursor);
        QCOMPARE(editor->cursorPosition(), cursor);
        QTest::keyClicks(editor, keys);
        QCOMPARE(editor->displayText(), text);
        QCOMPARE(editor->cursorPosition(), position);
    }

    void overwritingFirstDigitBlanksSecond()
    {
        QString text = QStringLiteral("2004-_5-__ __:__:__");
        int pos = 6;
        DateTimeValidator validator;
        text[5] = QLatin1Char('1');
        QCOMPARE(validator.validate(text, pos), QValidator::Intermediate);
        QCOMPARE(text, QStringLiteral("2004-1_-__ __:__:__"));
    }

    void validationStates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("state");
        QTest::newRow("blank frame") << "____-__-__ __:__:__" << int(QValidator::Acceptable);
        QTest::newRow("year only") << "2004-__-__ __:__:__" << int(QValidator::Acceptable);
        QTest::newRow("month without year") << "____-05-__ __:__:__" << int(QValidator::Intermediate);
        QTest::newRow("half year") << "20__-__-__ __:__:__" << int(QValidator::Intermediate);
        QTest::newRow("full") << "2004-05-06 07:08:09" << int(QValidator::Acceptable);
        QTest::newRow("hour 24") << "2004-05-06 24:__:__" << int(QValidator::Invalid);
    }

    void validationStates()
    {
        QFETCH(QString, text);
        QFETCH(int, state);
        DateTimeValidator validator;
        int pos = -2;
        QCOMPARE(int(validator.validate(text, pos)), state);
    }

    void yearChangeShortensDay()
    {
        editor->setText(QStringLiteral("2004-02-29"));
        focusEditor(0);
        QTest::keyClicks(editor, QStringLiteral("2001"));
        QCOMPARE(editor->displayText(), QStringLiteral("2001-02-28 __:__:__"));
    }

    void leavingFieldPadsIt()
    {
        // The cursor cannot leave a half-typed last field; here the day is typed already.
        focusEditor(0);
        editor->setText(QStringLiteral("2004-__-12"));
        editor->setCursorPosition(5);
        QTest::keyClick(editor, Qt::Key_1);
        QCOMPARE(editor->displayText(), QStringLiteral("2004-1_-12 __:__:__"));
        QTest::keyClick(editor, Qt::Key_Right);
        QCOMPARE(editor->displayText(), QStringLiteral("2004-01-12 __:__:__"));
    }

    void cursorStaysInTypedPart()
    {
        editor->setText(QStringLiteral("2004-05"));
        focusEditor(0);
        editor->setCursorPosition(15);
        QCOMPARE(editor->cursorPosition(), 8);
        QTest::keyClick(editor, Qt::Key_End);
        QCOMPARE(editor->cursorPosition(), 8);

        editor->clear();
        leaveEditor();
        focusEditor(0);
        QCOMPARE(editor->displayText(), QStringLiteral("____-__-__ __:__:__"));
        editor->setCursorPosition(10);
        QCOMPARE(editor->cursorPosition(), 0);
    }

    void focusLossShowsShortForm()
    {
        editor->setText(QStringLiteral("2004"));
        focusEditor(8);
        // A day typed after an unknown month is dropped with everything after it.
        editor->setText(QStringLiteral("2004-__-05 __:__:__"));
        leaveEditor();
        QCOMPARE(editor->text(), QStringLiteral("2004"));
        QCOMPARE(editor->value(), PartialDateTime(2004));

        focusEditor(5);
        QTest::keyClick(editor, Qt::Key_1);
        QTest::keyClick(editor, Qt::Key_3); // rejected: the value must not take it over
        leaveEditor();
        QCOMPARE(editor->text(), QStringLiteral("2004-01"));
        QCOMPARE(editor->value(), PartialDateTime(2004, 1));
    }

    void valueRoundTrip()
    {
        // Set while idle, after an earlier focus loss switched the validator off.
        const PartialDateTime value(2004, 5, 6, 7, 8);
        editor->setValue(value);
        QCOMPARE(editor->text(), QStringLiteral("2004-05-06 07:08"));
        QCOMPARE(editor->value(), value);
        focusEditor(0);
        QCOMPARE(editor->displayText(), QStringLiteral("2004-05-06 07:08:__"));
        leaveEditor();
        QCOMPARE(editor->value(), value);
    }

    void tipNamesField_data()
    {
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("bold");
        QTest::newRow("year") << 3 << "<b>YYYY</b>";
        QTest::newRow("separator before month") << 4 << "<b>MM</b>";
        QTest::newRow("day") << 9 << "<b>DD</b>";
        QTest::newRow("space before hour") << 10 << "<b>hh</b>";
        QTest::newRow("minute") << 15 << "<b>mm</b>";
        QTest::newRow("second") << 18 << "<b>ss</b>";
    }

    void tipNamesField()
    {
        QFETCH(int, pos);
        QFETCH(QString, bold);
        DateTimeValidator validator;
        QVERIFY(validator.hintText(pos).contains(bold));
    }

    void tipShownWhileEditing()
    {
        editor->setText(QStringLiteral("2001-02"));
        focusEditor(0);
        QTest::keyClick(editor, Qt::Key_Right); // keeps the editor's own tip settings
        editor->setCursorPosition(8);
        QVERIFY(ContentTipLabel::isTipVisible());
        QVERIFY2(ContentTipLabel::tipText().contains(QStringLiteral("28")), qPrintable(ContentTipLabel::tipText()));
        leaveEditor();
        QTRY_VERIFY(!ContentTipLabel::isTipVisible());
    }

    void fullFixupBlanksAfterFirstUnknown()
    {
        QString text = QStringLiteral("2004-__-05 10:__:__");
        DateTimeValidator::fixupAt(text, -1);
        QCOMPARE(text, QStringLiteral("2004-__-__ __:__:__"));
        text = QStringLiteral("2004-5_-05 10:__:__");
        DateTimeValidator::fixupAt(text, 6); // the cursor protects the month only
        QCOMPARE(text, QStringLiteral("2004-5_-05 10:__:__"));
        DateTimeValidator::fixupAt(text, 8);
        QCOMPARE(text, QStringLiteral("2004-05-05 10:__:__"));
    }
};

QTEST_MAIN(tst_DateTimeEditor)
#include "tst_datetimeeditor.moc"
