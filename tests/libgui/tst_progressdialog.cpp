#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "libcore/progress/linearprogressobject.h"
#include "libcore/progress/progressthread.h"
#include "libgui/progress/dialogsizehints.h"
#include "libgui/progress/progressdialog.h"
#include "libgui/support_gui.h"

namespace {

// A worker of `steps` items taking `stepMs` each; it stops early when canceled and, like
// every worker, ends its progress either way.
class FakeWorker : public ProgressThread
{
public:
    FakeWorker(int steps, int stepMs, QObject *parent = nullptr)
        : ProgressThread(parent), m_steps(steps), m_stepMs(stepMs)
    {
    }
    ~FakeWorker() override { cancelAndWait(); }

protected:
    void run() override
    {
        auto *stage = new LinearProgressObject();
        stage->setMaximum(m_steps);
        progressObject()->addChild(stage, 1.0, true);
        progressObject()->setStatusText(QStringLiteral("Reading %1"));
        for (int i = 0; i < m_steps; ++i) {
            if (progressObject()->isCanceled())
                return;
            progressObject()->setStatusArguments({i});
            QThread::msleep(m_stepMs);
            stage->advance(1);
        }
        progressObject()->finish();
    }

private:
    int m_steps;
    int m_stepMs;
};

// Counts the progress dialogs that become visible.
class ShowCounter : public QObject
{
public:
    ShowCounter() { qApp->installEventFilter(this); }
    ~ShowCounter() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<ProgressDialog *>(watched))
            ++shows;
        return false;
    }
    int shows = 0;
};

void cancelWhenShown()
{
    whenModalShown([](QWidget *w) {
        if (auto *dialog = qobject_cast<ProgressDialog *>(w))
            dialog->findChildren<QPushButton *>().constLast()->click(); // Cancel
    });
}

} // namespace

class tst_ProgressDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initGuiTestPackages(); }

    void shortWorkShowsNoDialog()
    {
        ShowCounter counter;
        QObject owner;
        auto *worker = new FakeWorker(3, 0, &owner); // no pause: done as soon as its thread runs
        QVERIFY(runProgressThread(worker, true));
        QVERIFY(worker->isFinished());
        QCOMPARE(worker->parent(), &owner); // left to its owner
        QTest::qWait(150);                  // a late timer shot must not show anything
        QCOMPARE(counter.shows, 0);
    }

    void longWorkShowsDialog()
    {
        ShowCounter counter;
        FakeWorker worker(20, 15);
        QVERIFY(runProgressThread(&worker, true));
        QCOMPARE(counter.shows, 1);
    }

    void alreadyFinishedReturnsAtOnce()
    {
        LinearProgressObject progress;
        progress.setMaximum(1);
        progress.setValue(1);
        QVERIFY(progress.isFinished());
        bool ran = false;
        QTimer::singleShot(0, this, [&] { ran = true; });
        runProgressDialog(&progress, true);
        QVERIFY(!ran);
        QTRY_VERIFY(ran);
    }

    void cancelDetachesThread()
    {
        QObject owner;
        QPointer<FakeWorker> worker = new FakeWorker(1000, 10, &owner);
        cancelWhenShown();
        QVERIFY(!runProgressThread(worker, true));
        QVERIFY(worker.isNull() || worker->parent() == nullptr);
        QTRY_VERIFY(worker.isNull()); // deletes itself once its run has ended
    }

    void cancelSeveralThreads()
    {
        QObject owner;
        QList<QPointer<FakeWorker>> workers;
        QList<ProgressThread *> threads;
        for (int i = 0; i < 3; ++i) {
            auto *worker = new FakeWorker(1000, 10, &owner);
            workers.append(worker);
            threads.append(worker);
        }
        cancelWhenShown();
        QVERIFY(!runProgressThreads(threads, QStringLiteral("Reading files"), true));
        for (const QPointer<FakeWorker> &worker : workers)
            QTRY_VERIFY(worker.isNull());
        QVERIFY(owner.children().isEmpty());
    }

    void severalThreadsFinish()
    {
        QObject owner;
        QList<ProgressThread *> threads;
        for (int i = 0; i < 3; ++i)
            threads.append(new FakeWorker(5 + i * 5, 5, &owner));
        QVERIFY(runProgressThreads(threads, QStringLiteral("Reading files"), false));
        for (ProgressThread *thread : threads) {
            QVERIFY(thread->isFinished());
            QCOMPARE(thread->parent(), &owner);
        }
    }

    void noThreadsNothingToWaitFor()
    {
        ShowCounter counter;
        QVERIFY(runProgressThreads({}, QStringLiteral("Reading files"), true));
        QCOMPARE(counter.shows, 0);
    }

    void dialogFollowsProgress()
    {
        LinearProgressObject progress;
        progress.setMaximum(10000);
        ProgressDialog dialog(&progress);
        dialog.progressBar->setVisible(false);
        progress.setStatusText(QStringLiteral("Saving %1"));
        progress.setStatusArguments({QStringLiteral("a.mp3")});
        progress.setValue(9999);
        QCOMPARE(dialog.statusLabel->text(), QStringLiteral("Saving a.mp3"));
        QCOMPARE(dialog.progressBar->value(), 999);
        // It shows itself after its timer, and nothing but its own end hides it.
        QVERIFY(!dialog.isVisible());
        QTRY_VERIFY(dialog.isVisible());
        dialog.hide();
        QVERIFY(dialog.isVisible());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(progress.isCanceled());
        QVERIFY(!dialog.isVisible());
    }

    void nonCancelableWorkKeepsDialog()
    {
        LinearProgressObject progress;
        progress.setMaximum(10);
        progress.setCancelable(false);
        ProgressDialog dialog(&progress);
        QTRY_VERIFY(dialog.isVisible());
        QVERIFY(!dialog.findChildren<QPushButton *>().constLast()->isVisible()); // no Cancel
        QTest::keyClick(&dialog, Qt::Key_Escape);
        dialog.close();
        QVERIFY(dialog.isVisible());
        QVERIFY(!progress.isCanceled());
        progress.setValue(10); // finishing still closes it
        QVERIFY(!dialog.isVisible());
    }

    void barValue_data()
    {
        QTest::addColumn<double>("progress");
        QTest::addColumn<int>("value");
        QTest::newRow("0") << 0.0 << 0;
        QTest::newRow("0.9999 truncates") << 0.9999 << 999;
        QTest::newRow("1") << 1.0 << 1000;
        QTest::newRow("above 1") << 1.5 << 1000;
    }

    void barValue()
    {
        QFETCH(double, progress);
        QFETCH(int, value);
        QCOMPARE(progressBarValue(progress), value);
    }

    void labelWidth_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("width");
        QTest::newRow("1600") << 1600 << 800;
        QTest::newRow("900") << 900 << 500;
        QTest::newRow("2001") << 2001 << 1000;
        QTest::newRow("2002") << 2002 << 1000;
        QTest::newRow("2560") << 2560 << 1000;
    }

    void labelWidth()
    {
        QFETCH(int, screen);
        QFETCH(int, width);
        QCOMPARE(progressStatusLabelWidth(screen), width);
    }

    void sizeHints_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QSize>("compact");
        QTest::addColumn<QSize>("wide");
        QTest::addColumn<QSize>("large");
        QTest::newRow("1920x1080") << QSize(1920, 1080) << QSize(960, 540) << QSize(1200, 800) << QSize(1440, 810);
        QTest::newRow("2560x1440") << QSize(2560, 1440) << QSize(1280, 720) << QSize(1280, 800) << QSize(1920, 1080);
        QTest::newRow("3840x2160") << QSize(3840, 2160) << QSize(1920, 1080) << QSize(1920, 1080) << QSize(1920, 1350);
        QTest::newRow("1024x768 below the bounds") << QSize(1024, 768) << QSize(512, 384) << QSize(1200, 800)
                                                   << QSize(1200, 800);
        QTest::newRow("1366x767 rounding") << QSize(1366, 767) << QSize(683, 384) << QSize(1200, 800)
                                           << QSize(1200, 800);
        QTest::newRow("2733x1801 rounding") << QSize(2733, 1801) << QSize(1367, 901) << QSize(1367, 901)
                                            << QSize(1920, 1350);
    }

    void sizeHints()
    {
        QFETCH(QSize, screen);
        QFETCH(QSize, compact);
        QFETCH(QSize, wide);
        QFETCH(QSize, large);
        QCOMPARE(compactDialogSizeHintFor(screen), compact);
        QCOMPARE(wideDialogSizeHintFor(screen), wide);
        QCOMPARE(largeDialogSizeHintFor(screen), large);
        // The hints of the running program are those of its primary screen.
        const QSize screenSize = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(compactDialogSizeHint(), compactDialogSizeHintFor(screenSize));
        QCOMPARE(wideDialogSizeHint(), wideDialogSizeHintFor(screenSize));
        QCOMPARE(largeDialogSizeHint(), largeDialogSizeHintFor(screenSize));
    }
};

QTEST_MAIN(tst_ProgressDialog)
#include "tst_progressdialog.moc"
