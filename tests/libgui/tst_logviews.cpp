#include <QCheckBox>
#include <QHeaderView>
#include <QScreen>
#include <QtTest>

#include "libgui/logviews/logmessagedialog.h"
#include "libcore/text/texttable.h"
#include "libgui/support_gui.h"

namespace {

LogMessage message(LogLevel level, const QString &text, qint64 time = 0, quint32 code = 0)
{
    LogMessage m(text, level);
    m.code = code;
    m.time = time;
    return m;
}

QStringList column(const QTableWidget &table, int c)
{
    QStringList texts;
    for (int r = 0; r < table.rowCount(); ++r)
        texts.append(table.item(r, c)->text());
    return texts;
}

} // namespace

class tst_LogViews : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initGuiTestPackages(); }

    void rowCapAndOrder()
    {
        BufferedLogger logger;
        logger.setRegistered(false);
        for (int i = 0; i < 300; ++i)
            logger.log(message(Error, QStringLiteral("e%1").arg(i)));
        LogTableWidget table(&logger);
        QCOMPARE(table.rowCount(), 250);
        QCOMPARE(table.item(0, 3)->text(), QStringLiteral("e299"));
        QCOMPARE(table.item(249, 3)->text(), QStringLiteral("e50"));
        table.setSortOrder(Qt::AscendingOrder);
        QCOMPARE(table.item(249, 3)->text(), QStringLiteral("e299"));
        QCOMPARE(table.item(0, 3)->text(), QStringLiteral("e50"));
        table.setMaximumRowCount(0);
        QCOMPARE(table.rowCount(), 300);
    }

    void levelsColoursAndColumns()
    {
        BufferedLogger logger;
        logger.setRegistered(false);
        logger.log(message(Error, QStringLiteral("error"), 1001));
        logger.log(message(Info, QStringLiteral("info"), 2000));
        logger.log(message(Warning, QStringLiteral("warning"), 3000));
        LogTableWidget table(&logger);
        QCOMPARE(column(table, 3), (QStringList{"warning", "error"}));
        QCOMPARE(table.item(0, 0)->background(), QBrush(QColor(254, 243, 218)));
        QCOMPARE(table.item(1, 3)->background(), QBrush(QColor(254, 231, 224)));
        QCOMPARE(table.item(1, 1)->text(), QStringLiteral("00000000"));
        QCOMPARE(table.item(1, 2)->text(), QStringLiteral("1970-01-01 00:00:01:001"));
        QVERIFY(!table.item(1, 0)->icon().isNull());

        // Info joins; the row that held the error now holds the info message, uncoloured.
        table.setLevelShown(Info, true);
        QCOMPARE(column(table, 3), (QStringList{"warning", "info", "error"}));
        QCOMPARE(table.item(1, 0)->background(), QBrush());
        QCOMPARE(table.item(1, 3)->background(), QBrush());
        QVERIFY(table.sizeHint().width() > table.horizontalHeader()->length());

        logger.log(message(Error, QString(), 0, 31));
        table.refresh();
        QCOMPARE(table.item(0, 1)->text(), QStringLiteral("0000001f"));
    }

    void refreshCoalesced()
    {
        BufferedLogger logger;
        logger.setRegistered(false);
        LogTableWidget table(&logger);
        auto *timer = table.findChild<QTimer *>();
        QVERIFY(timer);
        QVERIFY(timer->isSingleShot());
        QCOMPARE(timer->interval(), 500);
        QVERIFY(!timer->isActive());
        // A coarse timer may report more than its interval left; a precise one counts down
        // by the sleep, so a restart shows as more time left.
        timer->setTimerType(Qt::PreciseTimer);
        // Without the event loop between them the timer cannot fire: each message of the
        // burst finds it running down and starts it afresh.
        logger.log(message(Error, QStringLiteral("e0")));
        for (int i = 1; i < 10; ++i) {
            QVERIFY(timer->isActive());
            QTest::qSleep(20);
            const int left = timer->remainingTime();
            logger.log(message(Error, QStringLiteral("e%1").arg(i)));
            QVERIFY2(timer->remainingTime() > left, qPrintable(QStringLiteral("%1 ms left").arg(left)));
        }
        QCOMPARE(table.rowCount(), 0);
        QElapsedTimer clock;
        clock.start();
        QTRY_COMPARE(table.rowCount(), 10);
        // Qt's coarse timers may fire up to 5 % early.
        QVERIFY2(clock.elapsed() >= 470, QByteArray::number(clock.elapsed()));
    }

    void summary()
    {
        BufferedLogger logger;
        logger.setRegistered(false);
        LogMessageWidget widget(&logger);
        QCOMPARE(widget.summaryLevel(), int(Info));
        QCOMPARE(widget.summaryText(), upperCaseFirstText(LogSummaryNothingTextId));
        logger.log(message(Warning, QStringLiteral("a < b")));
        logger.log(message(Info, QStringLiteral("later info")));
        widget.updateMessage();
        QCOMPARE(widget.summaryLevel(), int(Warning));
        QVERIFY(widget.messageHtml().startsWith(QStringLiteral("<p>a &lt; b <a href='.'>")));
        QVERIFY(widget.messageHtml().contains(upperCaseFirstText(LogShowDetailsTextId)));
        Q_EMIT widget.textLabel->linkActivated(QStringLiteral("."));
        QVERIFY(widget.isTableShown());
        QVERIFY(widget.messageHtml().contains(upperCaseFirstText(LogHideDetailsTextId)));
        // A summary holding a placeholder of its own stays as it is.
        logger.log(message(Error, QStringLiteral("50%2 done")));
        widget.updateMessage();
        QVERIFY(widget.messageHtml().startsWith(QStringLiteral("<p>50%2 done <a")));
    }

    void dialogListsInfoWhenNewest()
    {
        BufferedLogger logger;
        logger.setRegistered(false);
        logger.log(message(Warning, QStringLiteral("warning")));
        logger.log(message(Info, QStringLiteral("newest info")));
        LogMessageDialog dialog(&logger);
        QVERIFY(dialog.messageWidget->isLevelShown(Info));
        QCOMPARE(dialog.messageWidget->summaryLevel(), int(Info));
        QVERIFY(dialog.textLabel->text().contains(QStringLiteral("newest info")));

        BufferedLogger warnings;
        warnings.setRegistered(false);
        warnings.log(message(Info, QStringLiteral("info")));
        warnings.log(message(Warning, QStringLiteral("newest warning")));
        LogMessageDialog other(&warnings);
        QVERIFY(!other.messageWidget->isLevelShown(Info));
        QCOMPARE(other.messageWidget->table->rowCount(), 1);
    }

    void dialogDetailsGrowAndRestore()
    {
        BufferedLogger logger;
        logger.setRegistered(false);
        for (int i = 0; i < 40; ++i)
            logger.log(message(Error, QStringLiteral("a long error message number %1 about a file").arg(i)));
        LogMessageDialog dialog(&logger);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect first = dialog.geometry();
        Q_EMIT dialog.textLabel->linkActivated(QStringLiteral("."));
        QVERIFY(dialog.messageWidget->isTableShown());
        QVERIFY(dialog.minimumWidth() > first.width() || dialog.minimumHeight() > first.height());
        Q_EMIT dialog.textLabel->linkActivated(QStringLiteral("."));
        QVERIFY(!dialog.messageWidget->isTableShown());
        QCOMPARE(dialog.geometry(), first);
        QCOMPARE(dialog.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    }

    void detailsGeometry_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QSize>("hint");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QSize>("maximum");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("hint fits") << QRect(0, 0, 1920, 1080) << QSize(800, 400) << QSize(800, 400)
                                   << QSize(1878, 1018) << QPoint(554, 324);
        QTest::newRow("hint bounded to two thirds") << QRect(0, 0, 1000, 700) << QSize(2000, 2000)
                                                    << QSize(667, 467) << QSize(958, 638) << QPoint(161, 101);
        QTest::newRow("area offset") << QRect(100, 50, 1000, 700) << QSize(400, 300) << QSize(400, 300)
                                     << QSize(958, 638) << QPoint(394, 234);
    }

    void detailsGeometry()
    {
        QFETCH(QRect, available);
        QFETCH(QSize, hint);
        QFETCH(QSize, minimum);
        QFETCH(QSize, maximum);
        QFETCH(QPoint, topLeft);
        const DetailsGeometry g = unfoldedDetailsGeometry(available, QSize(10, 30), hint, QSize(300, 100));
        QCOMPARE(g.minimum, minimum);
        QCOMPARE(g.maximum, maximum);
        QCOMPARE(g.frameTopLeft, topLeft);
    }

    void didYouKnow()
    {
        DidYouKnowDialog dialog;
        dialog.setText(QStringLiteral("<b>hint</b>"));
        QVERIFY(dialog.showAgain());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.showAgainCheckBox, Qt::LeftButton, {},
                          QPoint(5, dialog.showAgainCheckBox->height() / 2));
        QVERIFY(!dialog.showAgain());
    }

private:
    static QString upperCaseFirstText(quint32 id)
    {
        QString text = textForId(id);
        if (!text.isEmpty())
            text[0] = text[0].toUpper();
        return text;
    }
};

QTEST_MAIN(tst_LogViews)
#include "tst_logviews.moc"
