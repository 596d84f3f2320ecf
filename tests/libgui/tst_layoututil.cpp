#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QHeaderView>
#include <QtTest>

#include "libgui/layout/layoututil.h"

class tst_LayoutUtil : public QObject
{
    Q_OBJECT

private slots:
    void wrapText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        // Every character is 10 pixels wide.
        QTest::newRow("two of three words fit") << "aaa bbb ccc" << 70 << "aaa bbb\nccc";
        QTest::newRow("broken after hyphen") << "well-known" << 60 << "well-\nknown";
        QTest::newRow("one long word stays whole") << "abcdefghij" << 30 << "abcdefghij";
        QTest::newRow("long word on a line of its own") << "a abcdefghij b" << 30 << "a\nabcdefghij\nb";
        QTest::newRow("zero width unchanged") << " a\nb  " << 0 << " a\nb  ";
        QTest::newRow("negative width unchanged") << "x y " << -5 << "x y ";
        QTest::newRow("outer whitespace trimmed") << "  a b  " << 100 << "a b";
        QTest::newRow("surrogate pair is one character") << QString::fromUtf8("\xF0\x9D\x84\x9E x") << 20
                                                         << QString::fromUtf8("\xF0\x9D\x84\x9E\nx");
        QTest::newRow("empty") << "" << 50 << "";
    }

    void wrapText()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, expected);
        const auto measure = [](const QString &s) { return int(s.toUcs4().size()) * 10; };
        QCOMPARE(::wrapText(text, measure, width), expected);
    }

    void wrapTextWithFontMetrics()
    {
        const QFontMetrics metrics(QApplication::font());
        const QString text = QStringLiteral("one two three four five six seven");
        const int width = metrics.horizontalAdvance(QStringLiteral("three four"));
        const QStringList lines = ::wrapText(text, metrics, width).split(QLatin1Char('\n'));
        QVERIFY(lines.size() > 2);
        for (const QString &line : lines)
            QVERIFY2(metrics.horizontalAdvance(line) <= width, qPrintable(line));
        QCOMPARE(lines.join(QLatin1Char(' ')), text);
    }

    void firstShowSize_data()
    {
        QTest::addColumn<QSize>("hint");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("small hint grows to 200") << QSize(100, 50) << QSize(1920, 1080) << QSize(200, 200);
        QTest::newRow("large hint bounded") << QSize(3000, 3000) << QSize(1366, 768) << QSize(1025, 576);
        QTest::newRow("fits") << QSize(640, 480) << QSize(1920, 1080) << QSize(640, 480);
        QTest::newRow("tiny screen wins over minimum") << QSize(100, 100) << QSize(200, 200) << QSize(150, 150);
    }

    void firstShowSize()
    {
        QFETCH(QSize, hint);
        QFETCH(QSize, screen);
        QFETCH(QSize, expected);
        QCOMPARE(firstShowDialogSize(hint, screen), expected);
    }

    void concealKeepsEarlierHiddenState()
    {
        QWidget parent;
        auto *shown = new QLabel(QStringLiteral("a"), &parent);
        auto *hidden = new QLabel(QStringLiteral("b"), &parent);
        hidden->hide();
        parent.show();
        setWidgetConcealed(shown, true);
        setWidgetConcealed(hidden, true);
        QVERIFY(!shown->isVisible());
        QVERIFY(!hidden->isVisible());
        setWidgetConcealed(shown, false);
        setWidgetConcealed(hidden, false);
        QVERIFY(shown->isVisible());
        QVERIFY(!hidden->isVisible());
        QVERIFY(!hidden->testAttribute(Qt::WA_DontShowOnScreen));
        // A window is left alone.
        setWidgetConcealed(&parent, true);
        QVERIFY(parent.isVisible());
    }

    void mainWindowLayoutIsNeverWalked()
    {
        QMainWindow window;
        window.setCentralWidget(new QLabel(QStringLiteral("central")));
        QCOMPARE(layoutItemCount(window.layout()), 0);
        clearLayout(window.layout(), true);
        QVERIFY(window.centralWidget());
        invalidateLayoutTree(window.layout());
    }

    void gridCells()
    {
        QWidget w;
        auto *grid = new QGridLayout(&w);
        QPointer<QLabel> a = new QLabel(&w), b = new QLabel(&w), c = new QLabel(&w), span = new QLabel(&w);
        grid->addWidget(a, 0, 0);
        grid->addWidget(b, 0, 1);
        grid->addWidget(c, 1, 0);
        grid->addWidget(span, 2, 0, 1, 2);
        grid->setRowStretch(1, 5);
        removeGridCells(grid, -1, -1, true);
        QCOMPARE(grid->count(), 4);
        removeGridColumn(grid, 1, true); // b and the spanning label
        QVERIFY(!b && !span && a && c);
        QCOMPARE(grid->count(), 2);
        removeGridRow(grid, 1, false); // c taken out, kept
        QVERIFY(c);
        QCOMPARE(grid->rowStretch(1), 0);
        QCOMPARE(findLayoutContaining(a, grid), static_cast<QLayout *>(grid));
        QCOMPARE(parentLayoutOf(c), nullptr);
        delete c;
        addGridSpacer(grid, true);
        int row, column, rs, cs;
        grid->getItemPosition(grid->count() - 1, &row, &column, &rs, &cs);
        QCOMPARE(row, 0);
        QVERIFY(column >= 1);
    }

    void nestedLayouts()
    {
        QWidget w;
        auto *outer = new QVBoxLayout(&w);
        auto *inner = new QHBoxLayout();
        outer->addLayout(inner);
        QPointer<QLabel> deep = new QLabel(&w);
        inner->addWidget(deep);
        QCOMPARE(parentLayoutOf(deep), static_cast<QLayout *>(inner));
        setLayoutWidgetsEnabled(outer, false);
        QVERIFY(!deep->isEnabled());
        clearLayout(outer, true);
        QVERIFY(!deep);
        QCOMPARE(outer->count(), 0);
    }

    void widgetChain()
    {
        QWidget top;
        auto *a = new QWidget(&top);
        auto *b = new QWidget(&top);
        auto *inner = new QWidget(b);
        QVERIFY(isInWidgetChain(&top, inner));
        QVERIFY(isInWidgetChain(inner, inner));
        QVERIFY(!isInWidgetChain(a, inner));
        QVERIFY(!isInWidgetChain(nullptr, inner));
        // Through a focus proxy: inner's proxy is a, so a counts as inside inner's chain.
        inner->setFocusProxy(a);
        QVERIFY(isInWidgetChain(a, inner));
        // A cycle of focus proxies ends.
        QWidget other;
        a->setFocusProxy(b);
        b->setFocusProxy(nullptr);
        QVERIFY(!isInWidgetChain(&other, inner));
    }

    void scrollWidgetIntoView()
    {
        QScrollArea area;
        auto *content = new QWidget();
        auto *layout = new QVBoxLayout(content);
        QList<QLabel *> labels;
        for (int i = 0; i < 60; ++i) {
            labels.append(new QLabel(QStringLiteral("row %1").arg(i)));
            layout->addWidget(labels.last());
        }
        area.setWidget(content);
        area.setWidgetResizable(true);
        area.resize(200, 150);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        const auto visible = [&](QWidget *w) {
            return area.viewport()->geometry().contains(QRect(w->mapTo(&area, QPoint(0, 0)), w->size()));
        };
        QVERIFY(!visible(labels.at(45)));
        ensureWidgetVisible(&area, labels.at(45), 0, 0);
        QVERIFY(visible(labels.at(45)));
        QVERIFY(area.verticalScrollBar()->value() > 0);
        ensureWidgetVisible(&area, labels.at(0), 0, 0);
        QVERIFY(visible(labels.at(0)));
    }

    void fitColumns()
    {
        QStandardItemModel model(2, 3);
        model.setItem(0, 0, new QStandardItem(QStringLiteral("a rather long first column text")));
        model.setItem(0, 2, new QStandardItem(QStringLiteral("last")));
        QTableView view;
        view.setModel(&model);
        view.horizontalHeader()->setStretchLastSection(false);
        fitViewColumnsToContents(&view);
        QVERIFY(view.columnWidth(0) > view.columnWidth(1));
        QVERIFY(!view.horizontalHeader()->stretchLastSection());

        view.horizontalHeader()->setStretchLastSection(true);
        for (int c = 0; c < 3; ++c)
            view.setColumnHidden(c, true);
        fitViewColumnsToContents(&view);
        QVERIFY(view.horizontalHeader()->stretchLastSection());
        fitViewColumnsToContents(nullptr);
    }
};

QTEST_MAIN(tst_LayoutUtil)
#include "tst_layoututil.moc"
