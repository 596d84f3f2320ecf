#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>
#include <atomic>

#include "libcore/log/logger.h"
#include "libcore/progress/progressthread.h"
#include "libgui/dialogs/commondialogerrorpage.h"
#include "libgui/dialogs/commondialogprogresspage.h"
#include "libgui/dialogs/treeviewdialog.h"
#include "libgui/dialogs/wizarddialog.h"
#include "libgui/logviews/logmessagewidget.h"
#include "libgui/progress/dialogsizehints.h"
#include "libgui/support_gui.h"
#include "libgui/widgets/exttreewidget.h"

namespace {

// A page that records its hooks and validates as told.
class Page : public CommonDialogPage
{
public:
    explicit Page(const QString &name, bool lazy = false) : lazy(lazy)
    {
        title = name;
        setLayout(new QVBoxLayout());
        layout()->setContentsMargins(9, 9, 9, 9);
    }

    ValidationResult validate() override
    {
        ValidationResult result;
        result.valid = valid;
        result.messages = messages;
        return result;
    }
    bool isInitialized() override { return !lazy || initialized; }
    void initialize() override { initialized = true; }
    void updatePage(CommonDialogPage::UpdateReason reason) override { reasons.append(reason); }
    bool usesOwnFrame() override { return ownFrame; }

    bool lazy;
    bool initialized = false;
    bool valid = true;
    bool ownFrame = false;
    QList<ValidationMessage> messages;
    QList<int> reasons;
};

class Wizard : public WizardDialog
{
public:
    bool isDeadEndPage(CommonDialogPage *page) override { return page == deadEnd; }
    CommonDialogPage *deadEnd = nullptr;

    QPushButton *back() const { return backButton; }
    QPushButton *next() const { return nextButton; }
    QPushButton *ok() const { return okButton; }
    QPushButton *cancel() const { return cancelButton; }
    QString messages() const { return messageLabel->text(); }
    void setRejectEnabled_(bool on) { setRejectEnabled(on); }
};

// Runs until released, then finishes, or fails when told to; stops early when canceled.
class GateWorker : public ProgressThread
{
public:
    ~GateWorker() override { cancelAndWait(); }
    std::atomic<bool> release = false;
    bool fail = false;

protected:
    void run() override
    {
        while (!release && !progressObject()->isCanceled())
            QThread::msleep(2);
        if (progressObject()->isCanceled())
            return;
        if (fail) {
            Logger::logToAll(LogMessage(QStringLiteral("the disk is full"), Error));
            return;
        }
        progressObject()->finish();
    }
};

QString buttons(const Wizard &wizard)
{
    QStringList shown;
    const QList<QPair<QString, QPushButton *>> all{{"back", wizard.back()}, {"next", wizard.next()},
                                                   {"ok", wizard.ok()}, {"cancel", wizard.cancel()}};
    for (const auto &[name, button] : all) {
        if (button->isVisible())
            shown.append(name + (button->isEnabled() ? QString() : QStringLiteral("-off"))
                         + (button->isDefault() ? QStringLiteral("*") : QString()));
    }
    return shown.join(QLatin1Char(' '));
}

} // namespace

class tst_WizardDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initGuiTestPackages(); }

    void wizardButtons()
    {
        Wizard wizard;
        auto *first = new Page(QStringLiteral("First"));
        auto *middle = new Page(QStringLiteral("Middle"));
        auto *last = new Page(QStringLiteral("Last"));
        wizard.setPages({first, middle, last});
        QCOMPARE(wizard.pages(), (QList<CommonDialogPage *>{first, middle, last}));
        wizard.setCurrentPage(first);
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        wizard.setCurrentPage(first);
        QCOMPARE(buttons(wizard), QStringLiteral("next*"));

        QTest::mouseClick(wizard.next(), Qt::LeftButton);
        QCOMPARE(wizard.currentPage(), middle);
        QCOMPARE(middle->reasons.last(), int(CommonDialogPage::Forward));
        QCOMPARE(buttons(wizard), QStringLiteral("back next*"));
        middle->valid = false;
        Q_EMIT middle->updateDialogGui();
        QCOMPARE(buttons(wizard), QStringLiteral("back* next-off"));
        middle->valid = true;
        wizard.deadEnd = middle;
        Q_EMIT middle->updateDialogGui();
        QCOMPARE(buttons(wizard), QStringLiteral("back* next-off"));
        wizard.deadEnd = nullptr;
        Q_EMIT middle->updateDialogGui();

        QTest::mouseClick(wizard.next(), Qt::LeftButton);
        QCOMPARE(wizard.currentPage(), last);
        QCOMPARE(buttons(wizard), QStringLiteral("back ok*"));
        QTest::mouseClick(wizard.back(), Qt::LeftButton);
        QCOMPARE(wizard.currentPage(), middle);
        QCOMPARE(middle->reasons.last(), int(CommonDialogPage::Backward));

        // Back forced on the first page shows it again.
        wizard.setCurrentPage(first);
        QMetaObject::invokeMethod(&wizard, "onBackButtonClicked");
        QCOMPARE(wizard.currentPage(), first);
        QCOMPARE(first->reasons.last(), int(CommonDialogPage::Backward));

        // The heading follows the page title at once.
        first->setTitle(QStringLiteral("Renamed"));
        bool found = false;
        for (const QLabel *label : wizard.findChildren<QLabel *>())
            found = found || label->text() == QStringLiteral("Renamed");
        QVERIFY(found);
        QCOMPARE(first->layout()->contentsMargins(), QMargins());
    }

    void singlePageShowsOk()
    {
        Wizard wizard;
        auto *only = new Page(QStringLiteral("Only"));
        wizard.setPages({only});
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        wizard.setCurrentPage(only);
        QCOMPARE(buttons(wizard), QStringLiteral("ok*"));
        only->valid = false;
        Q_EMIT only->updateDialogGui();
        QCOMPARE(buttons(wizard), QStringLiteral("ok-off"));
    }

    void progressPageRunsAndCancels()
    {
        Wizard wizard;
        auto *content = new Page(QStringLiteral("Content"));
        wizard.setPages({content});
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        QSignalSpy completed(wizard.progressPage, &CommonDialogProgressPage::completed);
        QSignalSpy canceled(wizard.progressPage, &CommonDialogProgressPage::canceled);

        GateWorker done;
        wizard.progressPage->setTitle(QStringLiteral("Working"));
        wizard.progressPage->start(&done);
        wizard.setCurrentPage(wizard.progressPage);
        QCOMPARE(buttons(wizard), QStringLiteral("cancel*"));
        wizard.setRejectEnabled_(false);
        QCOMPARE(buttons(wizard), QString());
        wizard.setRejectEnabled_(true);
        wizard.progressPage->start(&done); // the same thread again: nothing
        done.release = true;
        QTRY_COMPARE(completed.count(), 1);
        QCOMPARE(wizard.progressPage->progressBar->value(), 1000);

        // Escape while work runs cancels it and keeps the wizard open.
        GateWorker running;
        wizard.progressPage->start(&running);
        QTest::keyClick(&wizard, Qt::Key_Escape);
        QVERIFY(wizard.isVisible());
        QCOMPARE(canceled.count(), 1);
        QVERIFY(running.progressObject()->isCanceled());
        QVERIFY(running.wait(5000));
        QTest::qWait(20);
        QCOMPARE(canceled.count(), 1); // the thread's own end is not passed on again
        // Now Escape closes.
        QTest::keyClick(&wizard, Qt::Key_Escape);
        QVERIFY(!wizard.isVisible());

        // A new thread while the old one runs silently cancels the old one.
        GateWorker old;
        GateWorker replacement;
        wizard.progressPage->start(&old);
        wizard.progressPage->start(&replacement);
        QVERIFY(old.progressObject()->isCanceled());
        QVERIFY(!replacement.progressObject()->isCanceled());
        replacement.release = true;
        QTRY_COMPARE(completed.count(), 2);
        QCOMPARE(canceled.count(), 1);
    }

    void failureShowsErrorPage()
    {
        Wizard wizard;
        auto *content = new Page(QStringLiteral("Content"));
        wizard.setPages({content});
        connect(wizard.progressPage, &CommonDialogProgressPage::failed, &wizard,
                [&wizard] { wizard.setCurrentPage(wizard.errorPage, CommonDialogPage::Direct); });
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        GateWorker worker;
        worker.fail = true;
        wizard.progressPage->start(&worker);
        wizard.setCurrentPage(wizard.progressPage);
        worker.release = true;
        QTRY_COMPARE(wizard.currentPage(), wizard.errorPage);
        QVERIFY(wizard.errorPage->messageWidget->summaryText().contains(QStringLiteral("the disk is full")));
        QVERIFY(!wizard.errorPage->messageWidget->isTableShown());
        // A dead end: Back stays, Next is shown disabled.
        QCOMPARE(buttons(wizard), QStringLiteral("back* next-off"));
    }

    void treeViewDialog()
    {
        TreeViewDialog dialog;
        auto *general = new Page(QStringLiteral("General"), true);
        auto *child = new Page(QStringLiteral("Colours"), true);
        auto *framed = new Page(QStringLiteral("Framed"), true);
        framed->ownFrame = true;
        general->icon = QIcon(QPixmap(16, 16));
        general->childPages = {child};
        dialog.setPages({general, framed});

        QCOMPARE(dialog.treeWidget->topLevelItemCount(), 2);
        QTreeWidgetItem *top = dialog.treeWidget->topLevelItem(0);
        QVERIFY(top->isExpanded());
        QCOMPARE(top->child(0)->text(0), QStringLiteral("Colours"));
        QVERIFY(!top->icon(0).isNull());
        QVERIFY(top->child(0)->icon(0).isNull());
        QCOMPARE(dialog.currentPage(), general);
        QVERIFY(general->initialized);
        QVERIFY(!child->initialized);
        QVERIFY(!framed->initialized);
        // Framed pages stand in the stack themselves; the others sit in a tab with a scroll area.
        QVERIFY(!qobject_cast<QScrollArea *>(framed->parentWidget()->parentWidget()));
        QVERIFY(general->parentWidget() && qobject_cast<QScrollArea *>(general->parentWidget()->parentWidget()));

        // Choosing an item shows its page.
        dialog.treeWidget->setCurrentItem(top->child(0));
        QCOMPARE(dialog.currentPage(), child);
        QVERIFY(child->initialized);

        // Errors of pages left are listed with their title; their warnings are not.
        general->valid = false;
        general->messages = {{Error, QStringLiteral("no name")}, {Warning, QStringLiteral("odd")}};
        child->messages = {{Warning, QStringLiteral("pale")}, {Info, QStringLiteral("see help")}};
        ValidationResult result = dialog.validate();
        QVERIFY(!result.valid);
        QStringList texts;
        for (const ValidationMessage &message : result.messages)
            texts.append(QStringLiteral("%1 %2").arg(message.level).arg(message.text));
        QCOMPARE(texts, (QStringList{QStringLiteral("%1 General: no name").arg(int(Error)),
                                     QStringLiteral("%1 pale").arg(int(Warning)),
                                     QStringLiteral("%1 see help").arg(int(Info))}));

        // Showing a page by code selects its item.
        dialog.setCurrentPage(framed);
        QCOMPARE(dialog.treeWidget->currentItem(), dialog.treeWidget->topLevelItem(1));
        QCOMPARE(dialog.sizeHint(), largeDialogSizeHint());
    }
};

QTEST_MAIN(tst_WizardDialogs)
#include "tst_wizarddialogs.moc"
