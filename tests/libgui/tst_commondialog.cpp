#include <QLineEdit>
#include <QMessageBox>
#include <QtTest>

#include "libgui/dialogs/commondialog.h"
#include "libgui/layout/layoututil.h"
#include "libgui/support_gui.h"

namespace {

// A page whose validation and lazy initialisation the test steers.
class TestPage : public CommonDialogPage
{
public:
    explicit TestPage(const QString &id, bool lazy = false) : m_initialized(!lazy) { identifier = id; }

    ValidationResult validate() override
    {
        ValidationResult r;
        r.messages = messages;
        r.valid = valid;
        return r;
    }
    bool isInitialized() override { return m_initialized; }
    void initialize() override
    {
        ++initializeCount;
        m_initialized = true;
    }
    void updatePage(UpdateReason reason) override { reasons.append(reason); }

    QList<ValidationMessage> messages;
    bool valid = true;
    int initializeCount = 0;
    QList<int> reasons;

private:
    bool m_initialized;
};

// Opens the protected parts to the test.
class TestDialog : public CommonDialog
{
public:
    using CommonDialog::CommonDialog;
    using CommonDialog::acceptEnabled;
    using CommonDialog::addButton;
    using CommonDialog::cancelButton;
    using CommonDialog::escapeMode;
    using CommonDialog::messageLabel;
    using CommonDialog::okButton;
    using CommonDialog::setContentWidget;
    using CommonDialog::setRejectEnabled;
    using CommonDialog::setSideWidget;
    using CommonDialog::sideWidget;
    using CommonDialog::updateDialogGui;
    using CommonDialog::validationMessages;

    QSize sizeHint() const override { return hint.isValid() ? hint : CommonDialog::sizeHint(); }
    QSize hint;
};

} // namespace

class tst_CommonDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initGuiTestPackages(); }

    void lazyPageCountsOnlyOnceShown()
    {
        TestDialog dialog;
        auto *first = new TestPage(QStringLiteral("first"));
        auto *lazy = new TestPage(QStringLiteral("lazy"), true);
        lazy->valid = false;
        dialog.setPages({first, lazy});
        dialog.updateDialogGui();
        QVERIFY(dialog.okButton->isEnabled());
        dialog.setCurrentPage(lazy);
        QCOMPARE(lazy->initializeCount, 1);
        QVERIFY(!dialog.okButton->isEnabled());
        // Back on the first page, the shown lazy page still blocks OK.
        dialog.setCurrentPage(first);
        QVERIFY(!dialog.okButton->isEnabled());
    }

    void messagesOrderedByLevel()
    {
        TestDialog dialog;
        auto *a = new TestPage(QStringLiteral("a"));
        auto *b = new TestPage(QStringLiteral("b"));
        a->messages = {{Info, QStringLiteral("info-a")}, {Error, QStringLiteral("error-a")}};
        b->messages = {{Warning, QStringLiteral("warning-b")}, {Question, QStringLiteral("question-b")},
                       {Error, QStringLiteral("error-b")}};
        dialog.setPages({a, b});
        dialog.updateDialogGui();
        QVERIFY(dialog.acceptEnabled); // messages alone do not invalidate
        const QString html = dialog.messageLabel->text();
        QStringList order = {QStringLiteral("question-b"), QStringLiteral("error-a"), QStringLiteral("error-b"),
                             QStringLiteral("warning-b"), QStringLiteral("info-a")};
        int last = -1;
        for (const QString &text : order) {
            const int at = html.indexOf(text);
            QVERIFY2(at > last, qPrintable(text));
            last = at;
        }
        QVERIFY(!dialog.messageLabel->isHidden());
        a->messages.clear();
        b->messages.clear();
        dialog.updateDialogGui();
        QVERIFY(dialog.messageLabel->isHidden());
    }

    void messageMarkup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("rich text kept") << "<b>bold</b> and <a href='x'>link</a>" << "<b>bold</b> and <a href='x'>link</a>";
        QTest::newRow("lone less-than escaped") << "a < b" << "a &lt; b";
        QTest::newRow("ampersand escaped") << "R&B" << "R&amp;B";
    }

    void messageMarkup()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        const QString html = formatValidationMessage(ValidationMessage(Warning, text));
        QVERIFY(html.startsWith(QStringLiteral("<p><img src='data:image/png;base64,")));
        QVERIFY2(html.endsWith(QStringLiteral("'/> ") + shown + QStringLiteral("</p>")), qPrintable(html));
    }

    void linksAndCurrentPage()
    {
        TestDialog dialog;
        auto *first = new TestPage(QStringLiteral("first"));
        auto *parent = new TestPage(QStringLiteral("parent"));
        auto *child = new TestPage(QStringLiteral("child"));
        parent->childPages = {child};
        dialog.setPages({first, parent});
        QSignalSpy changed(&dialog, &CommonDialog::currentPageChanged);
        QCOMPARE(dialog.currentPage(), first);

        Q_EMIT dialog.messageLabel->linkActivated(QStringLiteral("child"));
        QCOMPARE(dialog.currentPage(), child);
        QCOMPARE(changed.count(), 1);
        Q_EMIT dialog.messageLabel->linkActivated(QStringLiteral("nowhere"));
        Q_EMIT dialog.messageLabel->linkActivated(QString());
        QCOMPARE(dialog.currentPage(), child);
        QCOMPARE(changed.count(), 1);

        // Showing the current page again runs its hooks but changes nothing.
        Q_EMIT first->pageLinkActivated(static_cast<CommonDialogPage *>(child));
        QCOMPARE(child->initializeCount, 2);
        QCOMPARE(changed.count(), 1);
        dialog.setCurrentPage(QStringLiteral("first"), CommonDialogPage::Backward);
        QCOMPARE(first->reasons.last(), int(CommonDialogPage::Backward));

        // Pages dropped from the list are deleted; kept ones survive.
        QPointer<TestPage> gone = parent;
        dialog.setPages({first});
        QVERIFY(!gone);
        QCOMPARE(dialog.pages(), QList<CommonDialogPage *>{first});
    }

    void firstShowSizing()
    {
        TestDialog small;
        small.hint = QSize(100, 50);
        small.show();
        QCOMPARE(small.size(), QSize(200, 200));

        const QSize screen = small.screen()->geometry().size();
        TestDialog large;
        large.hint = QSize(10000, 10000);
        large.show();
        QCOMPARE(large.size(), QSize(threeQuarters(screen.width()), threeQuarters(screen.height())));

        TestDialog resized;
        resized.hint = QSize(100, 50);
        resized.resize(321, 234);
        resized.show();
        QCOMPARE(resized.size(), QSize(321, 234));
        resized.hide();
        resized.show();
        QCOMPARE(resized.size(), QSize(321, 234));
    }

    void escape_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("rejectEnabled");
        QTest::addColumn<bool>("closes");
        QTest::newRow("closes") << int(CommonDialog::EscapeCloses) << 0 << true << true;
        QTest::newRow("ignored") << int(CommonDialog::EscapeIgnored) << 0 << true << false;
        QTest::newRow("asks, yes") << int(CommonDialog::EscapeAsks) << int(QMessageBox::Yes) << true << true;
        QTest::newRow("asks, no") << int(CommonDialog::EscapeAsks) << int(QMessageBox::No) << true << false;
        QTest::newRow("reject disabled") << int(CommonDialog::EscapeCloses) << 0 << false << false;
    }

    void escape()
    {
        QFETCH(int, mode);
        QFETCH(int, answer);
        QFETCH(bool, rejectEnabled);
        QFETCH(bool, closes);
        TestDialog dialog;
        dialog.setContentWidget(new QLineEdit());
        dialog.escapeMode = mode;
        dialog.setRejectEnabled(rejectEnabled);
        QCOMPARE(dialog.cancelButton->isEnabled(), rejectEnabled);
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        bool asked = false;
        if (answer) {
            whenModalShown([&](QWidget *w) {
                auto *box = qobject_cast<QMessageBox *>(w);
                QVERIFY(box);
                asked = true;
                box->button(QMessageBox::StandardButton(answer))->click();
            });
        }
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(asked, answer != 0);
        QCOMPARE(rejected.count(), closes ? 1 : 0);
        QCOMPARE(dialog.isVisible(), !closes);
        // The window's close button takes the same road.
        if (!closes && !rejectEnabled) {
            dialog.close();
            QVERIFY(dialog.isVisible());
        }
    }

    void sideWidget()
    {
        TestDialog dialog;
        QPointer<QWidget> side = new QLabel(QStringLiteral("side"));
        dialog.setSideWidget(side);
        dialog.setSideWidget(side);
        QVERIFY(side);
        QCOMPARE(dialog.sideWidget(), side.data());
        dialog.setSideWidget(new QLabel(QStringLiteral("other")));
        QVERIFY(!side);
        dialog.setSideWidget(nullptr);
        QCOMPARE(dialog.sideWidget(), nullptr);
    }

    void sections()
    {
        CommonDialogLayoutPage page;
        auto *widget = new QLineEdit();
        page.addSection(widget, QString(), QString());
        QCOMPARE(page.findChildren<QLabel *>().size(), 0);
        QCOMPARE(page.pageLayout->count(), 2); // spacing, section
        QCOMPARE(widget->contentsMargins(), radioButtonIndent());

        QSignalSpy links(&page, qOverload<const QString &>(&CommonDialogPage::pageLinkActivated));
        page.addSection(nullptr, QStringLiteral("Title"), QStringLiteral("See <a href='other'>other</a>"));
        const QList<QLabel *> labels = page.findChildren<QLabel *>();
        QCOMPARE(labels.size(), 2);
        Q_EMIT labels.at(1)->linkActivated(QStringLiteral("other"));
        QCOMPARE(links.count(), 1);
    }
};

QTEST_MAIN(tst_CommonDialog)
#include "tst_commondialog.moc"
