#include <QRegularExpression>
#include <QTest>

#include "app/dialogs/regexppopup.h"
#include "app/dialogs/tagscriptpopup.h"
#include "app/model/datatypemodel.h"
#include "app/dialogs/support_dialogs.h"
#include "libgui/edits/contentassistlineedit.h"

namespace {

// The keys of the rows the popup shows, depth first.
QStringList visibleKeys(QAbstractItemView *view, const QModelIndex &parent = QModelIndex())
{
    QStringList keys;
    QAbstractItemModel *model = view->model();
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        const QString key = index.data(DataTypeModel::KeyRole).toString();
        if (!key.isEmpty())
            keys.append(key);
        keys += visibleKeys(view, index);
    }
    return keys;
}

QModelIndex findKey(QAbstractItemView *view, const QString &key, const QModelIndex &parent = QModelIndex())
{
    QAbstractItemModel *model = view->model();
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        if (index.data(DataTypeModel::KeyRole).toString() == key)
            return index;
        const QModelIndex found = findKey(view, key, index);
        if (found.isValid())
            return found;
    }
    return QModelIndex();
}

} // namespace

class tst_ContentAssistPopups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { loadDialogTestPackages(); }

    void regExpRows()
    {
        RegExpPopup popup;
        QCOMPARE(popup.topLevelItemCount(), 7);
        int rows = 0;
        for (int top = 0; top < popup.topLevelItemCount(); ++top) {
            QTreeWidgetItem *category = popup.topLevelItem(top);
            QCOMPARE(category->flags(), Qt::ItemIsEnabled);
            QVERIFY(!category->text(0).isEmpty());
            for (int child = 0; child < category->childCount(); ++child) {
                QTreeWidgetItem *item = category->child(child);
                QVERIFY(item->flags() & Qt::ItemIsSelectable);
                QVERIFY(item->text(0).contains(QStringLiteral(" - ")));
                QVERIFY(!item->text(0).endsWith(QStringLiteral(" - ")));
                ++rows;
            }
        }
        QCOMPARE(rows, 38);
        QVERIFY(popup.minimumWidth() > 25);
    }

    // Every shown syntax that is a complete expression is one PCRE accepts.
    void regExpSyntaxIsPcre()
    {
        RegExpPopup popup;
        for (int top = 0; top < popup.topLevelItemCount(); ++top) {
            for (int child = 0; child < popup.topLevelItem(top)->childCount(); ++child) {
                const QString text = popup.topLevelItem(top)->child(child)->text(0);
                QString shown = text.left(text.indexOf(QStringLiteral(" - ")));
                shown.replace(QStringLiteral("Expr1"), QStringLiteral("a")).replace(QStringLiteral("Expr2"), QStringLiteral("b"));
                shown.replace(QStringLiteral("Expr"), QStringLiteral("a")).replace(QStringLiteral("{n,m}"), QStringLiteral("{1,2}"));
                shown.replace(QStringLiteral("{n}"), QStringLiteral("{2}")).replace(QStringLiteral("{n,}"), QStringLiteral("{2,}"));
                shown.replace(QStringLiteral("{0,n}"), QStringLiteral("{0,2}")).replace(QStringLiteral("hhhh"), QStringLiteral("00e9"));
                shown.replace(QStringLiteral("\\0nn"), QStringLiteral("\\012")).replace(QStringLiteral("\\i"), QStringLiteral("(a)\\1"));
                if (shown == QStringLiteral("\\") || shown.startsWith(QLatin1Char('?')) || shown.startsWith(QLatin1Char('*'))
                    || shown.startsWith(QLatin1Char('+')))
                    shown = QStringLiteral("a") + (shown == QStringLiteral("\\") ? QStringLiteral("\\.") : shown);
                if (shown.startsWith(QLatin1Char('{')))
                    shown.prepend(QLatin1Char('a'));
                QVERIFY2(QRegularExpression(shown).isValid(), qPrintable(shown));
            }
        }
    }

    void regExpPickInsertsAtCursor()
    {
        ContentAssistLineEdit edit(QStringLiteral("ab"));
        auto *popup = new RegExpPopup;
        edit.setContentAssistPopup(popup);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        edit.setCursorPosition(1);
        QTest::keyClick(&edit, Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->replaceStart(), 1);
        QCOMPARE(popup->replaceLength(), 0);
        // A category inserts nothing.
        QMetaObject::invokeMethod(&edit, "pickIndex", Q_ARG(QModelIndex, popup->model()->index(4, 0)));
        QCOMPARE(edit.text(), QStringLiteral("ab"));
        const QList<QTreeWidgetItem *> found = popup->findItems(QStringLiteral("{n,m}"), Qt::MatchStartsWith | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        QTest::keyClick(&edit, Qt::Key_Space, Qt::ControlModifier);
        QMetaObject::invokeMethod(&edit, "pickIndex", Q_ARG(QModelIndex, popup->indexFromItem(found.first())));
        QCOMPARE(edit.text(), QStringLiteral("a{,}b"));
    }

    void tokenUnderCursor_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::newRow("variable") << "%art" << 4 << 0 << 4;
        QTest::newRow("variable in text") << "x - %alb" << 8 << 4 << 4;
        QTest::newRow("closed variable, cursor inside") << "%artist%" << 3 << 0 << 8;
        QTest::newRow("after function bracket") << "$if(" << 4 << 4 << 0;
        QTest::newRow("after closed variable and blank") << "%artist% " << 9 << 9 << 0;
        QTest::newRow("doubled percent") << "%%" << 2 << 2 << 0;
        QTest::newRow("doubled dollar") << "$$" << 2 << 2 << 0;
        QTest::newRow("function") << "$up" << 3 << 0 << 3;
        QTest::newRow("word") << "artist" << 6 << 0 << 6;
        QTest::newRow("word after separator") << "a,tit" << 5 << 2 << 3;
        QTest::newRow("closed literal") << "'%ab'" << 5 << 5 << 0;
        QTest::newRow("open literal") << "'%ab" << 4 << 4 << 0;
        QTest::newRow("doubled quote then word") << "''ab" << 4 << 2 << 2;
        QTest::newRow("symbol") << "+" << 1 << 0 << 1;
        QTest::newRow("astral before token") << QString::fromUcs4(U"\U0001F3B5%ti") << 5 << 2 << 3;
    }

    void tokenUnderCursor()
    {
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(int, start);
        QFETCH(int, length);
        TagScriptPopup popup(0);
        popup.updateContentAssist(text, cursor);
        QCOMPARE(popup.replaceStart(), start);
        QCOMPARE(popup.replaceLength(), length);
    }

    void filtering()
    {
        TagScriptPopup popup(0);
        const int all = int(visibleKeys(&popup).size());
        QVERIFY(all > 100);
        QCOMPARE(popup.completionRole(), int(DataTypeModel::KeyRole));

        popup.updateContentAssist(QStringLiteral("%art"), 4);
        QStringList keys = visibleKeys(&popup);
        QVERIFY(keys.contains(QStringLiteral("%artist%")));
        QVERIFY(!keys.contains(QStringLiteral("%title%")));
        QVERIFY(popup.currentIndex().isValid());
        QVERIFY(popup.currentIndex().flags() & Qt::ItemIsSelectable);

        popup.updateContentAssist(QStringLiteral("artist"), 6);
        keys = visibleKeys(&popup);
        QVERIFY(keys.contains(QStringLiteral("%artist%")));
        QVERIFY(keys.contains(QStringLiteral("%albumArtist%")));

        // A number matches nothing; the empty prefix everything again.
        popup.updateContentAssist(QStringLiteral("42"), 2);
        QCOMPARE(popup.model()->rowCount(), 0);
        popup.updateContentAssist(QStringLiteral("$if("), 4);
        QCOMPARE(int(visibleKeys(&popup).size()), all);

        popup.filter(QStringLiteral("+"));
        const QStringList plus = visibleKeys(&popup);
        QVERIFY(!plus.isEmpty());
        for (const QString &key : plus) {
            const QModelIndex index = findKey(&popup, key);
            QVERIFY2(index.data().toString().startsWith(QLatin1Char('+')), qPrintable(index.data().toString()));
        }
    }

    void kindOneOffersTagItemsOnly()
    {
        TagScriptPopup popup(1);
        const QStringList keys = visibleKeys(&popup);
        QVERIFY(keys.contains(QStringLiteral("%artist%")));
        for (const QString &key : keys)
            QVERIFY2(key.startsWith(QLatin1Char('%')) && key.endsWith(QLatin1Char('%')), qPrintable(key));
    }

    void pickReplacesToken()
    {
        ContentAssistLineEdit edit(QStringLiteral("%art"));
        auto *popup = new TagScriptPopup(0);
        edit.setContentAssistPopup(popup);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        edit.setCursorPosition(4);
        QTest::keyClick(&edit, Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(popup->isVisible());
        QMetaObject::invokeMethod(&edit, "pickIndex", Q_ARG(QModelIndex, findKey(popup, QStringLiteral("%artist%"))));
        QCOMPARE(edit.text(), QStringLiteral("%artist%"));
        QCOMPARE(edit.cursorPosition(), 8);

        // Typing on opens the popup again, filtered; a number closes it.
        edit.setAssistOnEdit(true);
        edit.setText(QString());
        QTest::keyClicks(&edit, QStringLiteral("42"));
        QVERIFY(!popup->isVisible());
    }
};

QTEST_MAIN(tst_ContentAssistPopups)
#include "tst_contentassistpopups.moc"
