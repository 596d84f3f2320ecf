#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/dialogs/findreplacedialog.h"
#include "app/dialogs/findreplacequery.h"
#include "app/dialogs/support_textdialogs.h"
#include "app/operations/operationqueue.h"
#include "app/search/searchhandler.h"
#include "app/search/searchquery.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/combos/extcombobox.h"
#include "libgui/edits/contentassistlineedit.h"
#include "libtagging/model/tagitem.h"

namespace {

using T = TagItemType::Id;
const ModelDataType Title(T::Title);
const ModelDataType Artist(T::Artist);
const ModelDataType Track(T::TrackNumber);
const ModelDataType Artwork(T::Artwork);

void click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2));
}

// Four files: titles "AC/DC Live", "acdc", "Back in Black", "a.b and ab"; artists "x 0" ...
struct Fixture {
    DialogTable table{{Title, Artist, Track, Artwork},
                      {{{T::Title, "AC/DC Live"}, {T::Artist, "x 0"}, {T::TrackNumber, 3}},
                       {{T::Title, "acdc"}, {T::Artist, "x 1"}, {T::TrackNumber, 12}},
                       {{T::Title, "Back in Black"}, {T::Artist, "x 2"}, {T::TrackNumber, 20}},
                       {{T::Title, "a.b and ab"}, {T::Artist, "x 3"}, {T::TrackNumber, 7}}}};
    SearchHandler &handler = *table.window.searchHandler();
    FindReplaceDialog dialog{table.window.model(), &handler};

    Fixture()
    {
        QObject::connect(&handler, &SearchHandler::queryChanged, &dialog, &FindReplaceDialog::updateGui);
    }
    QStringList titles() const
    {
        QStringList result;
        for (int row = 0; row < 4; ++row)
            result.append(table.cell(row, 0).toString());
        return result;
    }
    QPoint current() const
    {
        const QModelIndex index = table.view.currentIndex();
        return QPoint(index.column(), index.row());
    }
};

} // namespace

// The dialog builds the search handler's queries from its controls; the handler finds and
// replaces through the undo queue.
class tst_FindReplaceDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpDialogTests();
    }

    // Which cells a query from the options finds, over the titles and track numbers.
    void queries_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("flags"); // c case, w whole words, * wildcards, r expression
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("found"); // cells "row:column"
        QTest::newRow("plain, any case") << "acdc" << "" << 0 << "1:0";
        QTest::newRow("wildcard spans a slash") << "AC*DC" << "*" << 0 << "0:0 1:0";
        QTest::newRow("wildcard with case") << "AC*DC" << "*c" << 0 << "0:0";
        QTest::newRow("wildcard equals needs all") << "AC*DC" << "*" << 1 << "1:0";
        QTest::newRow("expression") << "^[AB].*[ke]$" << "rc" << 0 << "0:0 2:0";
        QTest::newRow("whole word escapes the dot") << "a.b" << "w" << 0 << "3:0";
        QTest::newRow("whole word no partial") << "Bla" << "w" << 0 << "";
        QTest::newRow("number greater than") << "12" << "" << 6 << "2:2";
        QTest::newRow("number as text when equal") << "12" << "" << 1 << "1:2";
        QTest::newRow("too large a number is text") << "99999999999999999999" << "" << 6 << "0:0 1:0 2:0 3:0";
        QTest::newRow("Unicode digits") << "\u0661\u0662" << "" << 6 << "";
    }
    void queries()
    {
        QFETCH(QString, text);
        QFETCH(QString, flags);
        QFETCH(int, op);
        QFETCH(QString, found);
        Fixture f;
        FindReplaceOptions options;
        options.findText = text;
        options.matchCase = flags.contains(u'c');
        options.wholeWords = flags.contains(u'w');
        options.wildcards = flags.contains(u'*');
        options.regularExpression = flags.contains(u'r');
        options.comparisonOperator = op;
        options.dataTypes = {Title, Track};
        QVERIFY(options.validate().valid);
        f.handler.setQuery(options.buildQuery(f.table.window.model(), AudioFileSelection(), nullptr, nullptr));
        f.handler.findAll();
        f.handler.selectAllResults();
        QStringList cells;
        for (const QModelIndex &index : f.table.view.selectionModel()->selectedIndexes())
            cells.append(QStringLiteral("%1:%2").arg(index.row()).arg(index.column()));
        cells.sort();
        QCOMPARE(cells.join(u' '), found);
        QVERIFY(!f.handler.query()->hasReplacement());
    }

    // Wildcards and expressions exclude each other (the box just clicked wins); both turn off
    // whole words and the orderings, whose choice falls back to "contains".
    void exclusiveOptions()
    {
        Fixture f;
        f.dialog.show();
        click(f.dialog.comparisonButtons.at(7));
        click(f.dialog.regularExpressionBox);
        QVERIFY(!f.dialog.wholeWordsBox->isEnabled());
        QVERIFY(!f.dialog.comparisonButtons.at(7)->isEnabled());
        QVERIFY(f.dialog.comparisonButtons.at(0)->isChecked());
        QVERIFY(f.dialog.findEdit->contentAssistPopup());
        click(f.dialog.wildcardsBox);
        QVERIFY(f.dialog.wildcardsBox->isChecked() && !f.dialog.regularExpressionBox->isChecked());
        QVERIFY(!f.dialog.findEdit->contentAssistPopup());
        click(f.dialog.regularExpressionBox);
        QVERIFY(!f.dialog.wildcardsBox->isChecked() && f.dialog.regularExpressionBox->isChecked());
        click(f.dialog.regularExpressionBox);
        QVERIFY(f.dialog.wholeWordsBox->isEnabled() && f.dialog.comparisonButtons.at(7)->isEnabled());
    }

    // An empty search or an invalid expression is a message in the dialog and disables all
    // four commands; they never run.
    void validation_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expression");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<quint32>("message");
        QTest::newRow("empty") << "" << false << false << quint32(EmptyFindTextTextId);
        QTest::newRow("invalid expression") << "(a" << true << false << quint32(InvalidRegularExpressionTextId);
        QTest::newRow("valid expression") << "(a)" << true << true << quint32(RegularExpressionInfoTextId);
        QTest::newRow("text") << "a" << false << true << 0u;
    }
    void validation()
    {
        QFETCH(QString, text);
        QFETCH(bool, expression);
        QFETCH(bool, valid);
        QFETCH(quint32, message);
        Fixture f;
        f.dialog.setFindMode(false);
        f.dialog.show();
        f.dialog.regularExpressionBox->setChecked(expression);
        f.dialog.replacementEdit->setText(QStringLiteral("Z"));
        f.dialog.findEdit->setText(QStringLiteral("x"));
        QTest::keyClick(f.dialog.findEdit, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            QTest::keyClick(f.dialog.findEdit, Qt::Key_Backspace);
        else
            QTest::keyClicks(f.dialog.findEdit, text);
        const ValidationResult result = f.dialog.validate();
        QCOMPARE(result.valid, valid);
        for (QPushButton *button : {f.dialog.findButton, f.dialog.findAllButton, f.dialog.replaceButton,
                                    f.dialog.replaceAllButton})
            QCOMPARE(button->isEnabled(), valid);
        const QString expected = upperCaseFirst(textForId(message)).section(u'%', 0, 0);
        bool seen = message == 0 && result.messages.isEmpty();
        for (const ValidationMessage &m : result.messages)
            seen = seen || (message != 0 && m.text.startsWith(expected));
        QVERIFY(seen);
        QTest::keyClick(f.dialog.findEdit, Qt::Key_Return);
        QCOMPARE(f.titles().first(), QStringLiteral("AC/DC Live"));
        if (!valid)
            QVERIFY(!f.handler.query());
    }

    // Find next and previous (Return on the find edit presses Find) step through the matches
    // of the titles and select them.
    void findSteps()
    {
        Fixture f;
        f.dialog.show();
        QTest::keyClicks(f.dialog.findEdit, QStringLiteral("b"));
        QTest::keyClick(f.dialog.findEdit, Qt::Key_Return);
        QCOMPARE(f.current(), QPoint(0, 2));
        QTest::keyClick(f.dialog.findEdit, Qt::Key_Return);
        QCOMPARE(f.current(), QPoint(0, 3));
        click(f.dialog.backwardButton);
        click(f.dialog.findButton);
        QCOMPARE(f.current(), QPoint(0, 2));
        click(f.dialog.wrapAroundBox);
        click(f.dialog.findButton);
        QCOMPARE(f.current(), QPoint(0, 2)); // nothing before it, and no wrapping
        click(f.dialog.forwardButton);
        click(f.dialog.findButton);
        click(f.dialog.findButton);
        QCOMPARE(f.current(), QPoint(0, 3));
    }

    // Replace all over the selected files: one undo step, the count reported (0 too); the
    // selected scope becomes the previous scope after a find.
    void replaceAll()
    {
        Fixture f;
        f.table.select({QRect(0, 0, 1, 2)});
        f.dialog.setFindMode(false);
        f.dialog.show();
        QVERIFY(f.dialog.replaceAllButton->isVisible());
        click(f.dialog.scopeButtons.at(FindReplaceOptions::SelectedFiles));
        click(f.dialog.wildcardsBox);
        QTest::keyClicks(f.dialog.findEdit, QStringLiteral("a*c"));
        QTest::keyClicks(f.dialog.replacementEdit, QStringLiteral("Z"));
        const int undo = f.table.undoCount();
        click(f.dialog.replaceAllButton);
        QCOMPARE(f.titles(), (QStringList{"Z Live", "Z", "Back in Black", "a.b and ab"}));
        QCOMPARE(f.table.undoCount(), undo + 1);
        QCOMPARE(f.table.window.informations.size(), 1);
        QVERIFY(f.table.window.informations.last().startsWith(QStringLiteral("2 ")));
        QVERIFY(f.dialog.isVisible());
        f.table.window.operationQueue()->undo();
        QCOMPARE(f.titles().mid(0, 2), (QStringList{"AC/DC Live", "acdc"}));

        f.dialog.findEdit->setText(QStringLiteral("nothing*here"));
        click(f.dialog.replaceAllButton);
        QCOMPARE(f.table.undoCount(), undo); // the undone step went to the redo side
        QVERIFY(f.table.window.informations.last().startsWith(QStringLiteral("0 ")));

        f.table.select({QRect(0, 0, 1, 2)});
        f.dialog.updateGui();
        click(f.dialog.scopeButtons.at(FindReplaceOptions::SelectedFiles));
        f.dialog.findEdit->setText(QStringLiteral("*"));
        click(f.dialog.findButton);
        QVERIFY(f.dialog.scopeButtons.at(FindReplaceOptions::PreviousScope)->isChecked());
        QVERIFY(!f.dialog.dataTypeComboBox->isEnabled());
        click(f.dialog.findButton);
        click(f.dialog.findButton);
        QVERIFY(f.current().y() < 2); // still within the files selected at the first find
    }

    // The column list offers textual columns; find mode carries no replacement text.
    void columnsAndModes()
    {
        Fixture f;
        f.dialog.show();
        QCOMPARE(f.dialog.offeredDataTypes(), (QList<ModelDataType>{Title, Artist, Track}));
        QCOMPARE(f.dialog.dataTypeComboBox->count(), 4);
        QVERIFY(!f.dialog.replacementEdit->isVisible() && !f.dialog.replaceButton->isVisible());
        f.dialog.replacementEdit->setText(QStringLiteral("Z"));
        f.dialog.findEdit->setText(QStringLiteral("x"));
        f.dialog.dataTypeComboBox->setCurrentIndex(2);
        QScopedPointer<SearchQuery> query(f.dialog.buildQuery(nullptr));
        QVERIFY(!query->hasReplacement());
        QCOMPARE(query->scope().dataTypes(), QList<ModelDataType>{Artist});
        f.dialog.replaceModeAction->trigger();
        QVERIFY(!f.dialog.isFindMode());
        QCOMPARE(f.dialog.windowTitle(), f.dialog.replaceModeAction->text());
        QVERIFY(f.dialog.replacementEdit->isVisible());
        query.reset(f.dialog.buildQuery(nullptr));
        QCOMPARE(query->replacementText(), QStringLiteral("Z"));
        click(f.dialog.findAllButton);
        QVERIFY(!f.dialog.isVisible());
        QCOMPARE(f.handler.resultCount(), 4);
    }
};

QTEST_MAIN(tst_FindReplaceDialog)
#include "tst_findreplacedialog.moc"
