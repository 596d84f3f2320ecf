#include <QAbstractItemModelTester>
#include <QLocale>
#include <QPointer>
#include <QTest>

#include <memory>

#include "app/identification/updateset.h"
#include "app/model/audiofilemodel.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/audiofileproxymodel.h"
#include "app/model/support_model.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/modelremoveoperation.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/shell/headlessmainwindow.h"
#include "libcore/image/codedimage.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

namespace {

const ModelDataType Title(TagItemType::Title);
const ModelDataType Artist(TagItemType::Artist);
const ModelDataType Album(TagItemType::Album);
const ModelDataType Artwork(TagItemType::Artwork);
const ModelDataType FileName(FileProperty::fileName);

// A file that is never opened: its combined tag is made by hand (none for an empty list).
AudioFile *handMadeFile(QObject *parent, const QList<QPair<int, QVariant>> &values = {})
{
    auto *file = new AudioFile(QStringLiteral("/nonexistent/a.mp3"), parent);
    if (!values.isEmpty()) {
        auto *tag = new AudioTag;
        for (const auto &[type, value] : values)
            tag->addItemValue(type, value);
        file->setTag(tag, TagType::Combined);
    }
    return file;
}

// A picture of that size; the colour tells pictures of one size apart.
ArtworkTagItem *picture(int width, int height, int pictureType, const QString &description,
                        Qt::GlobalColor colour = Qt::red)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return new ArtworkTagItem(CodedImage(image, QStringLiteral("PNG")), pictureType, description);
}

// Texts of items; a picture reads as its description.
QStringList texts(const QList<TagItem *> &items)
{
    QStringList result;
    for (const TagItem *item : items) {
        if (item->type() == ArtworkTagItem::Type)
            result.append(static_cast<const ArtworkTagItem *>(item)->description);
        else
            result.append(item->toString());
    }
    return result;
}

QStringList combinedTexts(AudioFile *file, int itemType)
{
    const AudioTag *tag = file->tags().value(TagType::Combined);
    return tag ? tag->itemTexts(itemType) : QStringList{QStringLiteral("<no tag>")};
}

// The main window's services with Qt's model checks running over both models.
struct Table {
    HeadlessMainWindow window;
    AudioFileModelData &store = *window.store();
    AudioFileModel &model = *window.tableModel();
    AudioFileProxyModel &proxy = *window.proxyModel();
    OperationQueue &queue = *window.operationQueue();
    QAbstractItemModelTester modelTester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
    QAbstractItemModelTester proxyTester{&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest};

    Table() { model.setDataTypes({Title, Artist, FileName}); }

    AudioFileSelection selection() { return AudioFileSelection(&proxy); }

    ModelInsertOperation *insert(const QList<AudioFile *> &files)
    {
        auto *operation = new ModelInsertOperation(selection());
        operation->files = files;
        queue.apply(operation);
        return operation;
    }

    QStringList column(int column) const
    {
        QStringList result;
        for (int row = 0; row < proxy.rowCount(); ++row)
            result.append(proxy.index(row, column).data().toString());
        result.sort();
        return result;
    }
};

} // namespace

class TestModelOperations : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        loadModelTexts();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    // Insert, update and remove through the queue, each undone and redone, reach the table.
    void throughTheQueue()
    {
        AudioFileFactory factory;
        Table table;
        AudioFile *one = factory.create("one.mp3", {{TagItemType::Title, QStringLiteral("One")}});
        AudioFile *two = factory.create("two.mp3", {{TagItemType::Title, QStringLiteral("Two")}});
        ModelInsertOperation *insert = table.insert({one, two});
        QCOMPARE(insert->referencedAudioFiles(), QSet<AudioFile *>({one, two}));
        QCOMPARE(table.column(0), QStringList({"One", "Two"}));

        auto *update = new ModelUpdateOperation(table.selection());
        update->workingTag(one)->setItemValue(TagItemType::Title, QStringLiteral("Uno"));
        update->workingTag(two)->setItemValue(TagItemType::Artist, QStringLiteral("Band"));
        table.queue.apply(update);
        QCOMPARE(table.column(0), QStringList({"Two", "Uno"}));
        QCOMPARE(table.column(1), QStringList({"", "Band"}));
        table.queue.undo();
        QCOMPARE(table.column(0), QStringList({"One", "Two"}));
        QCOMPARE(table.column(1), QStringList({"", ""}));
        table.queue.redo();
        QCOMPARE(table.column(0), QStringList({"Two", "Uno"}));
        QCOMPARE(update->referencedAudioFiles(), QSet<AudioFile *>({one, two}));

        auto *remove = new ModelRemoveOperation(table.selection());
        remove->files = {one};
        table.queue.apply(remove);
        QCOMPARE(table.proxy.rowCount(), 1);
        table.queue.undo();
        QCOMPARE(table.proxy.rowCount(), 2);
        QCOMPARE(table.column(0), QStringList({"Two", "Uno"}));
        table.queue.redo();
        QCOMPARE(table.proxy.audioFiles(), QList<AudioFile *>({two}));
        // The removed file stays alive while the queue refers to it.
        table.store.releaseUnusedAudioFiles(&table.queue);
        QVERIFY(table.store.ownedFiles().contains(one));
        // The window releases it at the queue change that drops the last reference.
        QPointer<AudioFile> released(one);
        table.queue.clear();
        QVERIFY(released.isNull());
        QCOMPARE(table.store.ownedFiles(), QSet<AudioFile *>({two}));
    }

    // The snapshot is taken at the first access, not at apply; a file without a combined tag
    // gets an empty working copy, no snapshot, and no tag again on undo.
    void snapshotsAndWorkingCopies()
    {
        AudioFileFactory factory;
        Table table;
        AudioFile *tagged = factory.create("tagged.mp3", {{TagItemType::Title, QStringLiteral("Before")}});
        AudioFile *bare = factory.create("bare.mp3", {});
        table.insert({tagged, bare});

        auto *operation = new ModelUpdateOperation(table.selection());
        AudioTag *working = operation->workingTag(tagged);
        QCOMPARE(operation->workingTag(tagged), working);
        tagged->tags().value(TagType::Combined)->setItemValue(TagItemType::Title, QStringLiteral("Meanwhile"));
        QCOMPARE(operation->snapshotTag(tagged)->itemText(TagItemType::Title), QStringLiteral("Before"));
        QCOMPARE(working->itemText(TagItemType::Title), QStringLiteral("Before"));
        QVERIFY(working != tagged->tags().value(TagType::Combined));

        AudioTag *bareWorking = operation->workingTag(bare);
        QVERIFY(bareWorking);
        QVERIFY(bareWorking->itemList().isEmpty());
        QCOMPARE(operation->snapshotTag(bare), nullptr);
        QVERIFY(operation->snapshotTags().contains(nullptr));
        // Nothing changed yet: no changed cells, whatever the file's tag did meanwhile.
        QVERIFY(operation->changedCells().isEmpty());

        // Editors ask for the working copy when they change it, which marks the cells for a
        // fresh computation.
        operation->workingTag(tagged)->setItemValue(TagItemType::Title, QStringLiteral("After"));
        operation->workingTag(bare)->setItemValue(TagItemType::Artist, QStringLiteral("Someone"));
        const AudioFileSelection changed = operation->changedCells();
        QCOMPARE(changed.cellCount(), 2);
        QVERIFY(changed.contains(tagged, Title));
        QVERIFY(changed.contains(bare, Artist));
        QVERIFY(operation->isCellChanged(bare, Artist));
        QVERIFY(!operation->isCellChanged(bare, Title));
        QVERIFY(!operation->isCellChanged(bare, FileName));

        table.queue.apply(operation);
        QCOMPARE(combinedTexts(tagged, TagItemType::Title), QStringList({"After"}));
        QCOMPARE(combinedTexts(bare, TagItemType::Artist), QStringList({"Someone"}));
        // The files got copies: editing the operation's tags afterwards leaves them alone.
        QVERIFY(tagged->tags().value(TagType::Combined) != working);
        table.queue.undo();
        QCOMPARE(combinedTexts(tagged, TagItemType::Title), QStringList({"Before"}));
        QCOMPARE(combinedTexts(bare, TagItemType::Artist), QStringList({"<no tag>"}));
        QVERIFY(bare->tags().isEmpty());

        operation->clearTagCopies();
        QVERIFY(operation->tagCopies().isEmpty());
        QVERIFY(operation->changedCells().isEmpty());
        QVERIFY(operation->referencedAudioFiles().isEmpty());
    }

    // The description names up to five changed data types, in column order, and the files.
    void description_data()
    {
        QTest::addColumn<QList<int>>("itemTypes");
        QTest::addColumn<bool>("bothFiles");
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("expected");

        const QList<int> five{TagItemType::Title, TagItemType::Artist, TagItemType::Album, TagItemType::Genre,
                              TagItemType::Comment};
        QTest::newRow("one type, one file") << QList<int>{TagItemType::Title} << false << QString()
                                            << "edit title of one.mp3";
        QTest::newRow("two types, two files") << QList<int>{TagItemType::Title, TagItemType::Album} << true
                                              << QString() << "edit album and title of 2 files";
        QTest::newRow("five types") << five << false << QString()
                                    << "edit album, artist, comment, genre and title of one.mp3";
        QTest::newRow("six types") << (QList<int>(five) << TagItemType::Composer) << true << QString()
                                   << "edit tags of 2 files";
        QTest::newRow("set by the creator") << five << true << "Fix the tags" << "Fix the tags";
    }

    void description()
    {
        QFETCH(QList<int>, itemTypes);
        QFETCH(bool, bothFiles);
        QFETCH(QString, preset);
        QFETCH(QString, expected);

        AudioFileFactory factory;
        Table table;
        AudioFile *one = factory.create("one.mp3", {});
        AudioFile *two = factory.create("two.mp3", {});
        table.insert({one, two});
        auto *operation = new ModelUpdateOperation(table.selection());
        operation->setDescription(preset);
        for (AudioFile *file : bothFiles ? QList<AudioFile *>{one, two} : QList<AudioFile *>{one}) {
            for (int itemType : itemTypes)
                operation->workingTag(file)->setItemValue(itemType, QStringLiteral("x"));
        }
        table.queue.apply(operation);
        QCOMPARE(operation->description(), expected);
        // Not composed again on redo.
        table.queue.undo();
        operation->setDescription(QStringLiteral("kept"));
        table.queue.redo();
        QCOMPARE(operation->description(), QStringLiteral("kept"));
    }

    // Merging a text item type: the snapshot "old", the working copy "new" (either may be
    // absent, an empty text means an empty first item).
    void mergedTextItems_data()
    {
        QTest::addColumn<QString>("snapshot"); // null: the file had no tag
        QTest::addColumn<QString>("working");  // null: no item of the type
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("expected");

        const QString none;
        QTest::newRow("none") << "old" << "new" << 0 << QStringList();
        QTest::newRow("replace") << "old" << "new" << 1 << QStringList({"new"});
        QTest::newRow("larger image, text") << "old" << "new" << 2 << QStringList();
        QTest::newRow("keep existing") << "old" << "new" << 3 << QStringList({"old"});
        QTest::newRow("keep existing, empty first item") << "" << "new" << 3 << QStringList({"new"});
        QTest::newRow("keep existing, no item") << "-" << "new" << 3 << QStringList({"new"});
        QTest::newRow("keep both, text") << "old" << "new" << 4 << QStringList();
        QTest::newRow("unknown mode") << "old" << "new" << 9 << QStringList();
        QTest::newRow("no snapshot, none") << none << "new" << 0 << QStringList({"new"});
        QTest::newRow("no snapshot, keep existing") << none << "new" << 3 << QStringList({"new"});
    }

    void mergedTextItems()
    {
        QFETCH(QString, snapshot);
        QFETCH(QString, working);
        QFETCH(int, mode);
        QFETCH(QStringList, expected);

        QObject parent;
        QList<QPair<int, QVariant>> values;
        // "-" stands for a tag without the item type.
        if (!snapshot.isNull())
            values = {{TagItemType::Album, QStringLiteral("kept")}};
        AudioFile *file = handMadeFile(&parent, values);
        if (!snapshot.isNull() && snapshot != QLatin1String("-"))
            file->tags().value(TagType::Combined)->setItemValue(TagItemType::Title, snapshot);
        ModelUpdateOperation operation{AudioFileSelection()};
        operation.workingTag(file)->setItemValue(TagItemType::Title, working);

        QCOMPARE(texts(operation.mergedItems(file, TagItemType::Title, mode)), expected);
        QCOMPARE(operation.mergeChangesItems(file, Title, mode),
                 texts(operation.snapshotItems(file, TagItemType::Title)) != expected);

        // Applying the mode gives the working copy exactly that.
        operation.applyMergeMode(Title, mode);
        QCOMPARE(texts(operation.workingItems(file, TagItemType::Title)), expected);
        QCOMPARE(operation.changedCells().contains(file, Title),
                 texts(operation.snapshotItems(file, TagItemType::Title)) != expected);
    }

    // Artwork merges picture type by picture type: a front cover in both copies, a back
    // cover only in the working copy, an artist picture only in the snapshot.
    void mergedArtwork_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QSize>("oldFrontSize");
        QTest::addColumn<QStringList>("expected");

        const QSize small(10, 10);
        const QSize large(30, 30);
        QTest::newRow("none") << 0 << small << QStringList({"new back", "old artist"});
        QTest::newRow("replace") << 1 << small << QStringList({"new front", "new back", "old artist"});
        QTest::newRow("larger image: new") << 2 << small << QStringList({"new front", "new back", "old artist"});
        QTest::newRow("larger image: old") << 2 << large << QStringList({"old front", "new back", "old artist"});
        QTest::newRow("larger image: a tie takes the new") << 2 << QSize(20, 20)
                                                           << QStringList({"new front", "new back", "old artist"});
        QTest::newRow("keep existing") << 3 << small << QStringList({"old front", "new back", "old artist"});
        QTest::newRow("keep both") << 4 << small << QStringList({"old front", "new front", "new back", "old artist"});
    }

    void mergedArtwork()
    {
        QFETCH(int, mode);
        QFETCH(QSize, oldFrontSize);
        QFETCH(QStringList, expected);

        QObject parent;
        AudioFile *file = handMadeFile(&parent, {{TagItemType::Title, QStringLiteral("t")}});
        AudioTag *tag = file->tags().value(TagType::Combined);
        tag->addItem(picture(5, 5, 8, QStringLiteral("old artist")));
        tag->addItem(picture(oldFrontSize.width(), oldFrontSize.height(), 3, QStringLiteral("old front")));
        ModelUpdateOperation operation{AudioFileSelection()};
        AudioTag *working = operation.workingTag(file);
        working->removeItems(ArtworkTagItem::Type);
        working->addItem(picture(20, 20, 4, QStringLiteral("new back"), Qt::blue));
        working->addItem(picture(20, 20, 3, QStringLiteral("new front"), Qt::green));

        QCOMPARE(texts(operation.mergedItems(file, ArtworkTagItem::Type, mode)), expected);
        operation.applyMergeMode(Artwork, mode);
        QCOMPARE(texts(operation.workingItems(file, ArtworkTagItem::Type)), expected);
    }

    // Data types that are not tag items never merge or count as changed.
    void otherCategoriesIgnored()
    {
        QObject parent;
        AudioFile *file = handMadeFile(&parent, {{TagItemType::Title, QStringLiteral("old")}});
        ModelUpdateOperation operation{AudioFileSelection()};
        operation.workingTag(file)->setItemValue(TagItemType::Title, QStringLiteral("new"));
        const ModelDataType sameIdAsTitle(ModelDataType::CategoryFileProperty, TagItemType::Title);
        QVERIFY(!operation.mergeChangesItems(file, sameIdAsTitle, MergeMode::MergeReplace));
        QVERIFY(!operation.isCellChanged(file, sameIdAsTitle));
        operation.applyMergeMode(sameIdAsTitle, MergeMode::MergeNone);
        QCOMPARE(texts(operation.workingItems(file, TagItemType::Title)), QStringList({"new"}));
        // No entry, nothing to merge; asking makes no entry.
        AudioFile *untouched = handMadeFile(&parent, {{TagItemType::Title, QStringLiteral("x")}});
        QVERIFY(operation.mergedItems(untouched, TagItemType::Title, MergeMode::MergeReplace).isEmpty());
        QVERIFY(operation.workingItems(untouched, TagItemType::Title).isEmpty());
        QVERIFY(!operation.tagCopies().contains(untouched));
    }

    // Restricting: the default set keeps every change and merges artwork by size; another
    // set keeps only its data types, each merged by its mode.
    void restrictToUpdateSet_data()
    {
        QTest::addColumn<int>("setId");
        QTest::addColumn<QList<int>>("types");     // of the set
        QTest::addColumn<QList<int>>("modes");     // per type
        QTest::addColumn<QStringList>("expected"); // title | artist | album | artwork

        QTest::newRow("default set") << 0 << QList<int>() << QList<int>()
                                     << QStringList({"new title", "new artist", "", "old front"});
        QTest::newRow("empty set") << -1 << QList<int>() << QList<int>()
                                   << QStringList({"old title", "old artist", "old album", "old front"});
        QTest::newRow("title replaced, artist kept") << 3 << QList<int>{TagItemType::Title, TagItemType::Artist}
                                                     << QList<int>{1, 3}
                                                     << QStringList({"new title", "old artist", "old album", "old front"});
        QTest::newRow("album dropped, both covers") << -1 << QList<int>{TagItemType::Album, TagItemType::Artwork}
                                                    << QList<int>{1, 4}
                                                    << QStringList({"old title", "old artist", "", "old front,new front"});
        QTest::newRow("file property in the set") << -1 << QList<int>{TagItemType::Title} << QList<int>{-1}
                                                  << QStringList({"old title", "old artist", "old album", "old front"});
    }

    void restrictToUpdateSet()
    {
        QFETCH(int, setId);
        QFETCH(QList<int>, types);
        QFETCH(QList<int>, modes);
        QFETCH(QStringList, expected);

        QObject parent;
        AudioFile *file = handMadeFile(&parent, {{TagItemType::Title, QStringLiteral("old title")},
                                                 {TagItemType::Artist, QStringLiteral("old artist")},
                                                 {TagItemType::Album, QStringLiteral("old album")}});
        file->tags().value(TagType::Combined)->addItem(picture(30, 30, 3, QStringLiteral("old front")));
        ModelUpdateOperation operation{AudioFileSelection()};
        AudioTag *working = operation.workingTag(file);
        working->setItemValue(TagItemType::Title, QStringLiteral("new title"));
        working->setItemValue(TagItemType::Artist, QStringLiteral("new artist"));
        working->removeItems(TagItemType::Album);
        working->removeItems(ArtworkTagItem::Type);
        working->addItem(picture(20, 20, 3, QStringLiteral("new front"), Qt::green));

        UpdateSet set;
        set.id = setId;
        for (int i = 0; i < types.size(); ++i) {
            // A negative mode puts the type in as a file property instead.
            const ModelDataType dataType = modes.at(i) < 0 ? ModelDataType(ModelDataType::CategoryFileProperty, types.at(i))
                                                           : ModelDataType(ModelDataType::CategoryTagItem, types.at(i));
            set.dataTypes.insert(dataType, modes.at(i));
        }
        QVERIFY(operation.changedCells().contains(file, Title));
        operation.restrictToUpdateSet(set);
        const QStringList actual{operation.workingTag(file)->itemTexts(TagItemType::Title).join(u','),
                                 operation.workingTag(file)->itemTexts(TagItemType::Artist).join(u','),
                                 operation.workingTag(file)->itemTexts(TagItemType::Album).join(u','),
                                 texts(operation.workingItems(file, ArtworkTagItem::Type)).join(u',')};
        QCOMPARE(actual, expected);
        QCOMPARE(operation.changedCells().contains(file, Title), expected.first() == QLatin1String("new title"));
    }

    // The default set, as the settings dialog and identification show it.
    void defaultUpdateSet()
    {
        const UpdateSet &set = UpdateSet::defaultSet();
        QCOMPARE(set.id, 0);
        QVERIFY(set.dataTypes.isEmpty());
        QCOMPARE(set.name, QStringLiteral("Default"));
        QCOMPARE(&UpdateSet::defaultSet(), &set);
        QCOMPARE(UpdateSet().id, -1);
    }
};

QTEST_MAIN(TestModelOperations)
#include "tst_modeloperations.moc"
