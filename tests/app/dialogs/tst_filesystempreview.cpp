#include <QTest>

#include "app/dialogs/filesystempreviewwidget.h"
#include "app/dialogs/support_dialogs.h"
#include "libcore/io/fileinfo.h"

namespace {

// The tree as indented lines, "*" marking coloured items.
QStringList dump(QTreeWidgetItem *item, int depth = 0)
{
    QStringList lines;
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem *child = item->child(i);
        lines.append(QString(depth * 2, QLatin1Char(' ')) + child->text(0)
                     + (child->data(0, Qt::BackgroundRole).isValid() ? QStringLiteral(" *") : QString()));
        lines += dump(child, depth + 1);
    }
    return lines;
}

} // namespace

class tst_FileSystemPreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { loadDialogTestPackages(); }

    void tree_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QString>("root");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("root item") << QStringList{"b/2.mp3", "a.mp3", "b/1.mp3"} << "/music"
                                   << QStringList{"/music", "  a.mp3", "  b", "    1.mp3", "    2.mp3"};
        QTest::newRow("empty root") << QStringList{"x/a.mp3", "y/b.mp3"} << ""
                                    << QStringList{"x", "  a.mp3", "y", "  b.mp3"};
        QTest::newRow("empty parts dropped") << QStringList{"//x//a.mp3", ""} << ""
                                             << QStringList{"x", "  a.mp3"};
    }

    void tree()
    {
        QFETCH(QStringList, paths);
        QFETCH(QString, root);
        QFETCH(QStringList, expected);
        FileSystemPreviewWidget preview;
        preview.setPaths(paths, root);
        QCOMPARE(dump(preview.invisibleRootItem()), expected);
    }

    void colours()
    {
        FileSystemPreviewWidget preview;
        preview.setPaths({"a/1.mp3", "a/2.mp3", "b/3.mp3"}, QStringLiteral("/r"));
        preview.setPathColor(QStringLiteral("a/2.mp3"), QColor(254, 243, 218));
        preview.setPathColor(QStringLiteral("nowhere/9.mp3"), Qt::red);
        QCOMPARE(dump(preview.invisibleRootItem()),
                 (QStringList{"/r", "  a", "    1.mp3", "    2.mp3 *", "  b", "    3.mp3"}));
        QTreeWidgetItem *leaf = preview.topLevelItem(0)->child(0)->child(1);
        QCOMPARE(leaf->foreground(0).color(), QColor(Qt::black));
        // The same input again keeps the tree and its colours.
        preview.setPaths({"a/1.mp3", "a/2.mp3", "b/3.mp3"}, QStringLiteral("/r"));
        QVERIFY(leaf->data(0, Qt::BackgroundRole).isValid());
        FileSystemPreviewWidget::clearItemColors(preview.invisibleRootItem());
        QVERIFY(!dump(preview.invisibleRootItem()).join(QString()).contains(QLatin1Char('*')));
    }

    void caseOfFolders()
    {
        FileSystemPreviewWidget preview;
        preview.setPaths({"Rock/a.mp3", "rock/b.mp3"}, QString());
        if (isFileSystemCaseSensitive() == Qt::CaseSensitive)
            QCOMPARE(preview.topLevelItemCount(), 2);
        else
            QCOMPARE(preview.topLevelItemCount(), 1);
    }

    void icons()
    {
        FileSystemPreviewWidget preview;
        preview.setPaths({"a.mp3", "b.jpg", "c.txt"}, QString());
        QCOMPARE(preview.topLevelItemCount(), 3);
        for (int i = 0; i < 3; ++i)
            QVERIFY(!preview.topLevelItem(i)->icon(0).isNull());
        QVERIFY(preview.topLevelItem(0)->icon(0).cacheKey() != preview.topLevelItem(2)->icon(0).cacheKey());
    }

    // Above 100 paths only folders that hold folders are open.
    void largeTreesOpenFoldersOnly()
    {
        QStringList paths;
        for (int i = 0; i < 101; ++i)
            paths.append(QStringLiteral("artist/album%1/%2.mp3").arg(i % 3).arg(i));
        FileSystemPreviewWidget preview;
        preview.setPaths(paths, QStringLiteral("/r"));
        QTreeWidgetItem *root = preview.topLevelItem(0);
        QVERIFY(root->isExpanded());
        QVERIFY(root->child(0)->isExpanded());
        QVERIFY(!root->child(0)->child(0)->isExpanded());
    }
};

QTEST_MAIN(tst_FileSystemPreview)
#include "tst_filesystempreview.moc"
