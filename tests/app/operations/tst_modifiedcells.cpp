#include <QAbstractItemModelTester>
#include <QLocale>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include "app/model/audiofilemodel.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/audiofileproxymodel.h"
#include "app/model/support_model.h"
#include "app/operations/compoundoperation.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/modelremoveoperation.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/modifiedselectiontracker.h"
#include "app/operations/operationqueue.h"
#include "app/shell/headlessmainwindow.h"
#include "libcore/settings/settingsstore.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

namespace {

const ModelDataType Title(TagItemType::Title);
const ModelDataType Artist(TagItemType::Artist);
const ModelDataType Album(TagItemType::Album);

// The main window's services with Qt's model checks running, and a few edits.
struct Session {
    AudioFileFactory factory;
    HeadlessMainWindow window;
    QAbstractItemModelTester tester{window.proxyModel(), QAbstractItemModelTester::FailureReportingMode::QtTest};
    OperationQueue &queue = *window.operationQueue();
    ModifiedSelectionTracker &tracker = *window.modifiedSelectionTracker();

    Session() { window.tableModel()->setDataTypes({Title, Artist, Album}); }

    AudioFile *load(const QString &name, const QList<QPair<int, QVariant>> &items)
    {
        AudioFile *file = factory.create(name, items);
        auto *operation = new ModelInsertOperation(AudioFileSelection(window.model()));
        operation->files = {file};
        queue.apply(operation);
        return file;
    }

    // One update operation setting each (item type, text) on the file; the operation is
    // returned unapplied when asked.
    ModelUpdateOperation *edit(AudioFile *file, const QList<QPair<int, QString>> &values, bool apply = true)
    {
        auto *operation = new ModelUpdateOperation(AudioFileSelection(window.model()));
        for (const auto &[type, text] : values)
            operation->workingTag(file)->setItemValue(type, text);
        if (apply)
            queue.apply(operation);
        return operation;
    }

    // "name:type" of every modified cell, sorted as texts.
    QStringList modified() const
    {
        QStringList cells;
        const AudioFileSelection selection = tracker.modifiedSelection();
        for (auto it = selection.dataTypesByFile().cbegin(); it != selection.dataTypesByFile().cend(); ++it) {
            for (const ModelDataType &type : it.value())
                cells.append(QStringLiteral("%1:%2").arg(it.key()->fileName()).arg(type.id));
        }
        cells.sort();
        return cells;
    }

    bool highlighted(AudioFile *file, int column) const
    {
        AudioFileProxyModel *proxy = window.proxyModel();
        const int row = int(proxy->audioFiles().indexOf(file));
        return proxy->index(row, column).data(Qt::BackgroundRole).isValid();
    }
};

QString cell(const QString &name, int itemType)
{
    return QStringLiteral("%1:%2").arg(name).arg(itemType);
}

} // namespace

class TestModifiedCells : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        loadModelTexts();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        SettingsStore::setValue(QStringLiteral("colors/modified"), QStringLiteral("#0000ff"));
    }

    // An edit is modified, undone it is not, redone it is again; the table highlights it.
    void applyUndoRedo()
    {
        Session session;
        AudioFile *file = session.load("a.mp3", {{TagItemType::Title, QStringLiteral("Old")}});
        QSignalSpy announced(&session.tracker, &ModifiedSelectionTracker::modifiedSelectionChanged);
        session.edit(file, {{TagItemType::Title, QStringLiteral("New")}});
        QCOMPARE(session.modified(), QStringList({cell("a.mp3", TagItemType::Title)}));
        QVERIFY(!announced.isEmpty());
        QVERIFY(session.highlighted(file, 0));
        QVERIFY(!session.highlighted(file, 1));

        session.queue.undo();
        QVERIFY(session.modified().isEmpty());
        QVERIFY(!session.highlighted(file, 0));
        session.queue.redo();
        QCOMPARE(session.modified(), QStringList({cell("a.mp3", TagItemType::Title)}));
        QVERIFY(session.highlighted(file, 0));

        // A change of the table announces again, so that the highlight follows the columns.
        announced.clear();
        session.window.tableModel()->setDataTypes({Artist, Title});
        QVERIFY(!announced.isEmpty());
        QVERIFY(session.highlighted(file, 1));
        QVERIFY(!session.highlighted(file, 0));

        // Clearing the queue changes no cell but announces.
        announced.clear();
        session.queue.clear();
        QCOMPARE(announced.size(), 1);
        QCOMPARE(session.modified(), QStringList({cell("a.mp3", TagItemType::Title)}));
    }

    // Two edits that end at the saved value leave nothing modified; cells the second edit
    // did not touch keep their state.
    void editedBack()
    {
        Session session;
        AudioFile *file = session.load("a.mp3", {{TagItemType::Title, QStringLiteral("Old")}});
        session.edit(file, {{TagItemType::Title, QStringLiteral("New")}, {TagItemType::Artist, QStringLiteral("X")}});
        session.edit(file, {{TagItemType::Title, QStringLiteral("Old")}});
        QCOMPARE(session.modified(), QStringList({cell("a.mp3", TagItemType::Artist)}));
    }

    // The saved state is the tag as loaded, through any number of later edits: the tracker
    // keeps the tag the first edit replaced, and only that one.
    void savedStateKeptThroughEdits()
    {
        Session session;
        AudioFile *file = session.load("a.mp3", {{TagItemType::Title, QStringLiteral("Old")}});
        QCOMPARE(session.tracker.savedTag(file), file->tags().value(TagType::Combined));
        session.edit(file, {{TagItemType::Title, QStringLiteral("New")}});
        session.edit(file, {{TagItemType::Title, QStringLiteral("Newer")}});
        session.queue.undo();
        AudioTag *saved = session.tracker.savedTag(file);
        QVERIFY(saved && saved != file->tags().value(TagType::Combined));
        QCOMPARE(saved->itemText(TagItemType::Title), QStringLiteral("Old"));
        QCOMPARE(session.modified(), QStringList({cell("a.mp3", TagItemType::Title)}));
        session.queue.undo();
        QVERIFY(session.modified().isEmpty());
    }

    // Saving clears every modified cell of the file, also those the save did not concern,
    // and later edits compare against the saved state.
    void markSaved()
    {
        Session session;
        AudioFile *saved = session.load("a.mp3", {{TagItemType::Title, QStringLiteral("Old")}});
        AudioFile *other = session.load("b.mp3", {{TagItemType::Title, QStringLiteral("B")}});
        session.edit(saved, {{TagItemType::Title, QStringLiteral("New")}, {TagItemType::Album, QStringLiteral("L")}});
        session.edit(other, {{TagItemType::Title, QStringLiteral("C")}});
        QSignalSpy announced(&session.tracker, &ModifiedSelectionTracker::modifiedSelectionChanged);
        QList<AudioFile *> files{saved};
        session.tracker.markSaved(files);
        QCOMPARE(announced.size(), 1);
        QCOMPARE(session.modified(), QStringList({cell("b.mp3", TagItemType::Title)}));
        QCOMPARE(session.tracker.savedTag(saved)->itemText(TagItemType::Title), QStringLiteral("New"));

        // Undoing the edit now departs from the saved state.
        session.queue.undo();
        session.queue.undo();
        QCOMPARE(session.modified(), QStringList({cell("a.mp3", TagItemType::Album), cell("a.mp3", TagItemType::Title)}));
    }

    // A compound operation marks the cells of its update children; its other children
    // change nothing here.
    void compound()
    {
        Session session;
        AudioFile *file = session.load("a.mp3", {{TagItemType::Title, QStringLiteral("Old")}});
        AudioFile *added = session.factory.create("b.mp3", {{TagItemType::Title, QStringLiteral("B")}});
        auto *compound = new CompoundOperation;
        auto *insert = new ModelInsertOperation(AudioFileSelection(session.window.model()));
        insert->files = {added};
        compound->addOperation(insert);
        compound->addOperation(session.edit(file, {{TagItemType::Artist, QStringLiteral("X")}}, false));
        session.queue.apply(compound);
        QCOMPARE(session.modified(), QStringList({cell("a.mp3", TagItemType::Artist)}));
        QVERIFY(session.tracker.savedTag(added));
        session.queue.undo();
        QVERIFY(session.modified().isEmpty());
    }

    // A file loaded without tags: every item type an edit brings is modified; nothing is
    // saved for it.
    void fileWithoutTag()
    {
        Session session;
        AudioFile *file = session.load("a.mp3", {});
        QCOMPARE(session.tracker.savedTag(file), nullptr);
        session.edit(file, {{TagItemType::Title, QStringLiteral("T")}, {TagItemType::Artist, QStringLiteral("A")}});
        QCOMPARE(session.modified(), QStringList({cell("a.mp3", TagItemType::Title), cell("a.mp3", TagItemType::Artist)}));
    }

    // A file deleted from memory leaves the modified cells quietly.
    void deletedFile()
    {
        Session session;
        AudioFile *file = session.load("a.mp3", {{TagItemType::Title, QStringLiteral("Old")}});
        session.edit(file, {{TagItemType::Title, QStringLiteral("New")}});
        auto *remove = new ModelRemoveOperation(AudioFileSelection(session.window.model()));
        remove->files = {file};
        session.queue.apply(remove);
        // Removed but undoable: still known.
        QCOMPARE(session.modified().size(), 1);
        QPointer<AudioFile> gone(file);
        QSignalSpy announced(&session.tracker, &ModifiedSelectionTracker::modifiedSelectionChanged);
        session.queue.clear();
        QVERIFY(gone.isNull());
        QVERIFY(session.tracker.modifiedSelection().isEmpty());
        QCOMPARE(announced.size(), 1); // the clearing's, not the deletion's
    }
};

QTEST_MAIN(TestModifiedCells)
#include "tst_modifiedcells.moc"
