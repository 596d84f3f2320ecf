#include <QDialog>
#include <QListView>
#include <QStandardItemModel>
#include <QVBoxLayout>
#include <QtTest>

#include "libgui/edits/contentassistlineedit.h"
#include "libgui/edits/contenttiplabel.h"
#include "libgui/support_gui.h"

namespace {

// A list popup: a non-selectable heading, then selectable entries whose completion text is
// in Qt::UserRole and whose description is the tool tip.
class TestPopup : public QListView, public IContentAssistPopup
{
public:
    explicit TestPopup(const QStringList &entries, bool heading = true)
    {
        if (heading) {
            auto *item = new QStandardItem(QStringLiteral("Heading"));
            item->setFlags(Qt::ItemIsEnabled);
            model.appendRow(item);
        }
        for (const QString &entry : entries) {
            auto *item = new QStandardItem(entry);
            item->setData(QStringLiteral("<%1>").arg(entry), Qt::UserRole);
            item->setToolTip(QStringLiteral("about %1").arg(entry));
            model.appendRow(item);
        }
        setModel(&model);
    }

    QAbstractItemView *contentAssistView() override { return this; }
    int completionRole() override { return Qt::UserRole; }
    void updateContentAssist(const QString &text, int cursorPosition) override
    {
        ++updates;
        lastText = text;
        lastCursor = cursorPosition;
    }
    int replaceStart() override { return start; }
    int replaceLength() override { return length; }

    QStandardItemModel model;
    int start = 0;
    int length = 0;
    int updates = 0;
    QString lastText;
    int lastCursor = -1;
};

int currentRow(QAbstractItemView *view)
{
    return view->currentIndex().isValid() ? view->currentIndex().row() : -1;
}

} // namespace

class tst_ContentAssist : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initGuiTestPackages(); }
    void cleanup() { ContentTipLabel::hideTip(); }

    void withoutPopupNothingShows()
    {
        ContentAssistLineEdit edit;
        edit.show();
        QTest::keyClick(&edit, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(edit.text(), QString());
        QVERIFY(QApplication::topLevelWidgets().size() >= 1);
        QVERIFY(!ContentTipLabel::isTipVisible());
    }

    void pick_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("cursor");
        QTest::newRow("insert at cursor") << 3 << 0 << "abc<two>def" << 8;
        QTest::newRow("replace three") << 1 << 3 << "a<two>ef" << 6;
    }

    void pick()
    {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, expected);
        QFETCH(int, cursor);
        ContentAssistLineEdit edit(QStringLiteral("abcdef"));
        auto *popup = new TestPopup({QStringLiteral("one"), QStringLiteral("two")});
        popup->start = start;
        popup->length = length;
        edit.setContentAssistPopup(popup);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        edit.setCursorPosition(3);
        QTest::keyClick(&edit, Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->lastText, QStringLiteral("abcdef"));
        QCOMPARE(popup->lastCursor, 3);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
        QVERIFY(!popup->isVisible());
        QCOMPARE(edit.text(), expected);
        QCOMPARE(edit.cursorPosition(), cursor);
    }

    void headingNotPicked()
    {
        ContentAssistLineEdit edit;
        auto *popup = new TestPopup({QStringLiteral("one")});
        edit.setContentAssistPopup(popup);
        edit.show();
        QMetaObject::invokeMethod(&edit, "pickIndex", Q_ARG(QModelIndex, popup->model.index(0, 0)));
        QCOMPARE(edit.text(), QString());
    }

    void navigationSkipsHeadings()
    {
        ContentAssistLineEdit edit;
        auto *popup = new TestPopup({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        edit.setContentAssistPopup(popup);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        edit.showContentAssist();
        QVERIFY(popup->isVisible());
        QCOMPARE(currentRow(popup), -1);

        QTest::keyClick(popup, Qt::Key_Down); // past the heading
        QCOMPARE(currentRow(popup), 1);
        QTest::keyClick(popup, Qt::Key_Up); // only the heading above: nothing current
        QCOMPARE(currentRow(popup), -1);
        QTest::keyClick(popup, Qt::Key_Up); // wraps to the last
        QCOMPARE(currentRow(popup), 3);
        QTest::keyClick(popup, Qt::Key_PageDown); // already at the end
        QCOMPARE(currentRow(popup), 3);
        QTest::keyClick(popup, Qt::Key_Down);
        QCOMPARE(currentRow(popup), -1);
        QTest::keyClick(popup, Qt::Key_Down);
        QCOMPARE(currentRow(popup), 1);
        // The current entry's description shows beside the popup.
        QVERIFY(ContentTipLabel::isTipVisible());
        QCOMPARE(ContentTipLabel::tipText(), QStringLiteral("about a"));
        QTest::keyClick(popup, Qt::Key_Escape);
        QVERIFY(!popup->isVisible());
        QVERIFY(!ContentTipLabel::isTipVisible());
    }

    void typingGoesToLineEdit()
    {
        ContentAssistLineEdit edit;
        auto *popup = new TestPopup({QStringLiteral("a")});
        edit.setContentAssistPopup(popup);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        edit.activateWindow();
        edit.setFocus();
        QVERIFY(popup->isVisible()); // focus on an empty line edit opens it
        const int updates = popup->updates;
        QTest::keyClick(popup, Qt::Key_X);
        QCOMPARE(edit.text(), QStringLiteral("x"));
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->updates, updates); // not refreshed by typing
        QTest::keyClick(popup, Qt::Key_Left);
        QCOMPARE(popup->updates, updates + 1); // follows the cursor
        QCOMPARE(edit.cursorPosition(), 0);

        edit.setAssistOnEdit(true);
        QTest::keyClick(popup, Qt::Key_Y);
        QCOMPARE(popup->updates, updates + 2);
        QCOMPARE(edit.text(), QStringLiteral("yx"));
    }

    void emptyModelHides()
    {
        ContentAssistLineEdit edit;
        auto *popup = new TestPopup({}, false);
        edit.setContentAssistPopup(popup);
        edit.show();
        edit.showContentAssist();
        QVERIFY(!popup->isVisible());
        // Replacing the popup deletes the previous one.
        QPointer<TestPopup> old = popup;
        edit.setContentAssistPopup(new TestPopup({QStringLiteral("a")}));
        QVERIFY(!old);
    }

    void popupGeometry_data()
    {
        QTest::addColumn<QPoint>("anchor");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("minimumHeight");
        QTest::addColumn<int>("lineEditHeight");
        QTest::addColumn<QRect>("expected");
        // Screen 0,0 1000x800; rows 10 pixels; hint width 300.
        QTest::newRow("50 entries: 20 rows") << QPoint(100, 100) << 50 << 0 << 20 << QRect(100, 100, 300, 206);
        QTest::newRow("3 entries") << QPoint(100, 100) << 3 << 0 << 20 << QRect(100, 100, 300, 36);
        QTest::newRow("minimum height") << QPoint(100, 100) << 3 << 50 << 20 << QRect(100, 100, 300, 50);
        QTest::newRow("right edge") << QPoint(900, 100) << 3 << 0 << 20 << QRect(700, 100, 300, 36);
        QTest::newRow("above the line edit when no room below") << QPoint(100, 700) << 20 << 0 << 20
                                                                << QRect(100, 476, 300, 206);
        QTest::newRow("neither fits, more below") << QPoint(100, 120) << 20 << 900 << 20 << QRect(100, 120, 300, 679);
        QTest::newRow("neither fits, more above") << QPoint(100, 700) << 20 << 900 << 20 << QRect(100, 0, 300, 682);
        QTest::newRow("neither fits, equal: below") << QPoint(100, 409) << 20 << 900 << 21 << QRect(100, 409, 300, 390);
    }

    void popupGeometry()
    {
        QFETCH(QPoint, anchor);
        QFETCH(int, rows);
        QFETCH(int, minimumHeight);
        QFETCH(int, lineEditHeight);
        QFETCH(QRect, expected);
        QCOMPARE(contentAssistPopupGeometry(anchor, QRect(0, 0, 1000, 800), 300, 10, rows, 0, minimumHeight,
                                            lineEditHeight),
                 expected);
    }

    void tipPosition_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QPoint>("expected");
        // Screen 0,0 1000x800, tip 100x30.
        QTest::newRow("room") << QPoint(10, 10) << QPoint(10, 10);
        QTest::newRow("right edge flips left") << QPoint(950, 10) << QPoint(846, 10);
        QTest::newRow("bottom flips above") << QPoint(10, 790) << QPoint(10, 736);
        QTest::newRow("left of screen") << QPoint(-50, 10) << QPoint(0, 10);
    }

    void tipPosition()
    {
        QFETCH(QPoint, point);
        QFETCH(QPoint, expected);
        QCOMPARE(contentTipPosition(point, QSize(100, 30), QRect(0, 0, 1000, 800)), expected);
    }

    void tipSwallowsEscapeOnce()
    {
        QDialog dialog;
        auto *edit = new ExtLineEdit(&dialog);
        (new QVBoxLayout(&dialog))->addWidget(edit);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        ContentTipLabel::showTipBelow(edit, QStringLiteral("day (1-31)"), true);
        QVERIFY(ContentTipLabel::isTipVisible());
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!ContentTipLabel::isTipVisible());
        QCOMPARE(rejected.count(), 0);
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(rejected.count(), 1);
    }

    void tipFollowsOwnerWindow()
    {
        QWidget window;
        auto *edit = new ExtLineEdit(&window);
        edit->move(10, 20);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ContentTipLabel::showTipBelow(edit, QStringLiteral("hint"), false);
        const QPoint before = ContentTipLabel::instance()->pos();
        window.move(window.pos() + QPoint(40, 30));
        QTRY_COMPARE(ContentTipLabel::instance()->pos(), before + QPoint(40, 30));
        // An owner that goes away is forgotten.
        delete edit;
        ContentTipLabel::showTip(QPoint(5, 5), QStringLiteral("other"), false);
        QCOMPARE(ContentTipLabel::tipText(), QStringLiteral("other"));
        ContentTipLabel::showTip(QPoint(5, 5), QString(), false);
        QVERIFY(!ContentTipLabel::isTipVisible());
    }

    void lineEditSignalsAndInactiveText()
    {
        QWidget window;
        auto *edit = new ExtLineEdit(&window);
        auto *other = new ExtLineEdit(&window);
        other->move(0, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        other->setFocus();
        QSignalSpy received(edit, &ExtLineEdit::focusReceived);
        QSignalSpy lost(edit, &ExtLineEdit::focusLost);
        QSignalSpy pressed(edit, &ExtLineEdit::mousePressed);
        const QImage plain = edit->grab().toImage();
        edit->setInactiveText(QStringLiteral("Artist"));
        const QImage hinted = edit->grab().toImage();
        QVERIFY(plain != hinted);
        QTest::mouseClick(edit, Qt::LeftButton);
        QCOMPARE(pressed.count(), 1);
        QTRY_COMPARE(received.count(), 1);
        // No hint while focused: the edit looks as one without a hint does (the cursor
        // steady, so that two pictures can be compared).
        const int flashTime = QApplication::cursorFlashTime();
        QApplication::setCursorFlashTime(0);
        edit->update();
        const QImage focused = edit->grab().toImage();
        edit->setInactiveText(QString());
        const QImage focusedWithoutHint = edit->grab().toImage();
        edit->setInactiveText(QStringLiteral("Artist"));
        QApplication::setCursorFlashTime(flashTime);
        QCOMPARE(focused, focusedWithoutHint);
        other->setFocus();
        QTRY_COMPARE(lost.count(), 1);
    }
};

QTEST_MAIN(tst_ContentAssist)
#include "tst_contentassist.moc"
