#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QVBoxLayout>
#include <QtTest>

#include "libgui/buttons/wordwrappedbutton.h"
#include "libgui/combos/extcombobox.h"
#include "libgui/support_gui.h"

class tst_Combos : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initGuiTestPackages(); }

    void popupSignals()
    {
        ExtComboBox combo;
        combo.addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));
        QSignalSpy shown(&combo, &ExtComboBox::popupShown);
        QSignalSpy hidden(&combo, &ExtComboBox::popupHidden);
        QList<QString> order;
        connect(&combo, qOverload<int>(&QComboBox::activated), this, [&] { order.append(QStringLiteral("activated")); });
        connect(&combo, &ExtComboBox::popupHidden, this, [&] { order.append(QStringLiteral("hidden")); });

        const bool animated = QApplication::isEffectEnabled(Qt::UI_AnimateCombo);
        combo.showPopupInstantly();
        QCOMPARE(QApplication::isEffectEnabled(Qt::UI_AnimateCombo), animated);
        QCOMPARE(shown.count(), 1);
        QTest::keyClick(combo.view(), Qt::Key_Escape);
        QTRY_COMPARE(hidden.count(), 1);
        QCOMPARE(hidden.at(0).at(0).toBool(), false);

        combo.showPopup();
        QTest::keyClick(combo.view(), Qt::Key_Down);
        QTest::keyClick(combo.view(), Qt::Key_Return);
        QTRY_COMPARE(hidden.count(), 2);
        QCOMPARE(hidden.at(1).at(0).toBool(), true);
        QCOMPARE(combo.currentIndex(), 1);
        QCOMPARE(order, (QList<QString>{"hidden", "activated", "hidden"}));
    }

    void wheelOnlyWithFocus()
    {
        QWidget window;
        auto *combo = new ExtComboBox(&window);
        auto *other = new QLineEdit(&window);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(combo);
        layout->addWidget(other);
        combo->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
        turnWheel(combo, -120);
        QCOMPARE(combo->currentIndex(), 0);
        combo->setFocus();
        QTRY_VERIFY(combo->hasFocus());
        turnWheel(combo, -120);
        QCOMPARE(combo->currentIndex(), 1);
    }

    void validatedInput_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::newRow("other case names an item") << "france" << 1 << "France";
        QTest::newRow("a prefix keeps the item") << "Fr" << 0 << "Germany";
        QTest::newRow("emptied: no item") << "" << -1 << "";
        QTest::newRow("trailing space") << "Germany " << 0 << "Germany";
        QTest::newRow("surrounding spaces") << "  france " << 1 << "France";
    }

    void validatedInput()
    {
        QFETCH(QString, typed);
        QFETCH(int, index);
        QFETCH(QString, text);
        QWidget window;
        auto *combo = new ValidatedInputComboBox(&window);
        auto *other = new QLineEdit(&window);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(combo);
        layout->addWidget(other);
        combo->addItems({QStringLiteral("Germany"), QStringLiteral("France")});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        combo->setFocus();
        QTRY_VERIFY(combo->lineEdit()->hasFocus());
        combo->lineEdit()->selectAll();
        QTest::keyClick(combo->lineEdit(), Qt::Key_Backspace);
        QTest::keyClicks(combo->lineEdit(), typed);
        if (QWidget *popup = combo->completer()->popup(); popup->isVisible())
            popup->hide();
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
        QCOMPARE(combo->currentIndex(), index);
        QCOMPARE(combo->currentText(), text);
    }

    void focusedComboDeleted()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *other = new QLineEdit(&window);
        layout->addWidget(other);
        auto *combo = new ValidatedInputComboBox(&window);
        layout->addWidget(combo);
        combo->addItem(QStringLiteral("Germany"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        combo->setFocus();
        QTRY_VERIFY(combo->lineEdit()->hasFocus());
        // The focus leaves the combo box while it is being destroyed; nothing may reach it.
        delete combo;
        QVERIFY(!QApplication::focusWidget() || QApplication::focusWidget() == other);
    }

    void tableCombos()
    {
        LanguageComboBox languages;
        CountryComboBox countries;
        ScriptComboBox scripts;
        for (QComboBox *combo : {static_cast<QComboBox *>(&languages), static_cast<QComboBox *>(&countries),
                                 static_cast<QComboBox *>(&scripts)}) {
            QVERIFY(combo->count() > 10);
            for (int i = 1; i < combo->count(); ++i)
                QVERIFY2(!(combo->itemText(i) < combo->itemText(i - 1)), qPrintable(combo->itemText(i)));
        }
        // Wide enough for 25 characters, however short or long the names are.
        QVERIFY(languages.sizeHint().width() > 20 * languages.fontMetrics().averageCharWidth());
        QCOMPARE(languages.itemData(languages.findText(QStringLiteral("German"))).toString(), QStringLiteral("deu"));
        QCOMPARE(countries.itemData(countries.findText(QStringLiteral("Germany"))).toString(), QStringLiteral("DE"));
        QCOMPARE(scripts.itemData(scripts.findText(QStringLiteral("Latin"))).toString(), QStringLiteral("Latn"));
    }

    void localeCombo()
    {
        LocaleComboBox combo;
        QVERIFY(combo.count() > 100);
        bool hasGerman = false;
        for (int i = 0; i < combo.count(); ++i) {
            const QString code = combo.itemData(i).toString();
            QVERIFY(code != QStringLiteral("C") && !code.isEmpty());
            QVERIFY(!combo.itemText(i).isEmpty());
            if (i > 0)
                QVERIFY(combo.itemText(i - 1) < combo.itemText(i)); // code-unit order, no duplicates
            hasGerman = hasGerman || code == QStringLiteral("de");
        }
        QVERIFY(hasGerman);
    }

    void treeModelIndex()
    {
        QStandardItemModel model;
        auto *group = new QStandardItem(QStringLiteral("group"));
        group->appendRow(new QStandardItem(QStringLiteral("first child")));
        group->appendRow(new QStandardItem(QStringLiteral("second child")));
        model.appendRow(new QStandardItem(QStringLiteral("top")));
        model.appendRow(group);
        ExtComboBox combo;
        combo.setModel(&model);
        const QModelIndex child = model.index(1, 0, model.index(1, 0));
        setCurrentModelIndex(&combo, child);
        QCOMPARE(combo.currentText(), QStringLiteral("second child"));
        QCOMPARE(currentModelIndex(&combo), child);
        QCOMPARE(combo.view()->currentIndex(), child);
        setCurrentModelIndex(&combo, QModelIndex());
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(combo.rootModelIndex(), QModelIndex());
    }

    void wrappedCheckBox()
    {
        const QString text = QStringLiteral("Keep the folder structure of the added files when copying them");
        ExtCheckBox box(text);
        box.show(); // hidden widgets get their resize events only when shown
        box.setWordWrap(true);
        QCOMPARE(box.sizePolicy().horizontalPolicy(), QSizePolicy::Preferred);
        box.resize(180, box.height());
        QVERIFY(box.text().contains(QLatin1Char('\n')));
        QCOMPARE(box.text().simplified(), text);
        const QSize minimum = box.minimumSizeHint();
        QVERIFY(minimum.width() < 60);
        QCOMPARE(minimum.height(), box.sizeHint().height());

        // A text that differs only in breaks is the old one; a new text is taken up.
        box.resize(400, box.height());
        QCOMPARE(box.text().simplified(), text);
        box.setText(QStringLiteral("Another rather long option text that needs more than one line"));
        box.resize(150, box.height());
        QVERIFY(box.text().startsWith(QStringLiteral("Another")));
        QVERIFY(box.text().contains(QLatin1Char('\n')));

        box.setWordWrap(false);
        QCOMPARE(box.text(), QStringLiteral("Another rather long option text that needs more than one line"));
        QCOMPARE(box.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);

        ExtRadioButton radio(text);
        radio.show();
        radio.setWordWrap(true);
        radio.resize(150, radio.height());
        QVERIFY(radio.text().contains(QLatin1Char('\n')));
    }
};

QTEST_MAIN(tst_Combos)
#include "tst_combos.moc"
