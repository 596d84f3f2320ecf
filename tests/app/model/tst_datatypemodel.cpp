#include <QTest>

#include "app/model/datatypemodel.h"
#include "app/model/datatypevalues.h"
#include "app/model/support_model.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/icons/icons.h"

namespace {

const ModelDataType Title(TagItemType::Title);
const ModelDataType TrackNumber(TagItemType::TrackNumber);
const ModelDataType DiscNumber(TagItemType::DiscNumber);
const ModelDataType Artwork(TagItemType::Artwork);
const ModelDataType FileName(FileProperty::fileName);
const ModelDataType FileSize(FileProperty::fileSize);

QStringList keysBelow(const QAbstractItemModel &model, const QModelIndex &parent = QModelIndex())
{
    QStringList keys;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        const QVariant key = index.data(DataTypeModel::KeyRole);
        keys.append(key.isValid() ? key.toString() : QStringLiteral("<") + index.data().toString() + u'>');
        keys.append(keysBelow(model, index));
    }
    return keys;
}

} // namespace

class tst_DataTypeModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        loadModelTexts();
        // The application adds its own icons at start-up.
        iconRootDirectories().append(QStringLiteral(":/app/icons"));
    }

    void dataTypeKeys_data()
    {
        QTest::addColumn<ModelDataType>("type");
        QTest::addColumn<QString>("key");
        QTest::newRow("album artist") << ModelDataType(TagItemType::AlbumArtist) << "%albumArtist%";
        QTest::newRow("file name") << FileName << "%fileName%";
        QTest::newRow("no script name") << ModelDataType(ModelDataType::CategoryTagItem, 32) << "";
        QTest::newRow("none") << ModelDataType() << "";
    }
    void dataTypeKeys()
    {
        QFETCH(ModelDataType, type);
        QFETCH(QString, key);
        QCOMPARE(dataTypeKey(type), key);
    }

    void groupsAndCollapsing_data()
    {
        QTest::addColumn<QList<ModelDataType>>("types");
        QTest::addColumn<int>("options");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("nothing listed") << QList<ModelDataType>{} << 0 << QStringList{};
        const QString category0 = QStringLiteral("<") + upperCaseFirst(TagItem::categoryName(0)) + u'>';
        // One category alone: the tag item group collapses away, the subgroup stays.
        QTest::newRow("one category") << QList<ModelDataType>{TrackNumber, Title} << 0
                                      << QStringList{category0, "%title%", "%trackNumber%"};
        QTest::newRow("snippets") << QList<ModelDataType>{Title, TrackNumber} << int(DataTypeModel::DataTypeSnippets)
                                  << QStringList{category0, "%title%", "%trackNumber%", "$num(%trackNumber%,2)"};
        QTest::newRow("disc number snippets")
            << QList<ModelDataType>{DiscNumber} << int(DataTypeModel::DataTypeSnippets)
            << QStringList{"<" + upperCaseFirst(TagItem::categoryName(TagItem::categoryOf(TagItemType::DiscNumber))) + ">",
                           "%discNumber%", "$num(%discNumber%,2)", "$ifgreater(%discCount%,1,Disc %discNumber%,)"};
        QTest::newRow("none entry prevents collapsing")
            << QList<ModelDataType>{FileName} << int(DataTypeModel::NoneEntry)
            << QStringList{"", "<" + upperCaseFirst(textForId(FilePropertiesGroupTextId)) + ">", "%fileName%"};
        QTest::newRow("artwork only when non-textual types are wanted")
            << QList<ModelDataType>{Artwork, ModelDataType(ModelDataType::CategoryTagItem, 32)} << 0 << QStringList{};
        QTest::newRow("order of the list does not matter")
            << QList<ModelDataType>{FileSize, Title, FileName} << 0
            << QStringList{"<" + upperCaseFirst(textForId(TagItemsGroupTextId)) + ">", category0, "%title%",
                           "<" + upperCaseFirst(textForId(FilePropertiesGroupTextId)) + ">", "%fileName%",
                           "%fileSize%"};
    }
    void groupsAndCollapsing()
    {
        QFETCH(QList<ModelDataType>, types);
        QFETCH(int, options);
        QFETCH(QStringList, keys);
        DataTypeModel model(types, DataTypeModel::Options(options));
        QCOMPARE(keysBelow(model), keys);
    }

    void artworkWithNonTextualTypes()
    {
        DataTypeModel model({Artwork}, DataTypeModel::NonTextualItemTypes);
        const QModelIndex artwork = model.indexOf(Artwork);
        QVERIFY(artwork.isValid());
        QCOMPARE(artwork.data(DataTypeModel::DataTypeRole).value<ModelDataType>(), Artwork);
        QCOMPARE(model.indexOf(Artwork).parent().data().toString(),
                 upperCaseFirst(TagItem::categoryName(TagItem::categoryOf(TagItemType::Artwork))));
    }

    void lookupsAndItems()
    {
        DataTypeModel model({Title, DiscNumber, FileSize}, DataTypeModel::NoneEntry | DataTypeModel::DataTypeSnippets
                                                               | DataTypeModel::CharacterEntries
                                                               | DataTypeModel::SpecialVariables
                                                               | DataTypeModel::ScriptFunctions);
        // The data type's own entry precedes its snippets.
        const QModelIndex disc = model.indexOf(DiscNumber);
        QCOMPARE(disc.data(DataTypeModel::KeyRole).toString(), QStringLiteral("%discNumber%"));
        QCOMPARE(disc.data(DataTypeModel::DataTypeRole).value<ModelDataType>(), DiscNumber);
        QCOMPARE(disc.flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        QVERIFY(!disc.data(Qt::DecorationRole).value<QIcon>().isNull());
        const QModelIndex snippet = model.indexOfKey(QStringLiteral("$num(%discNumber%,2)"));
        QCOMPARE(snippet.data(DataTypeModel::DataTypeRole).value<ModelDataType>(), ModelDataType());
        QVERIFY(!snippet.data(Qt::DecorationRole).value<QIcon>().isNull());
        QCOMPARE(model.indexOfKey(QStringLiteral("$fmtsize(%fileSize%)")).parent(), model.indexOf(FileSize).parent());
        // Filtered out, or no data type at all: nothing.
        QVERIFY(!model.indexOf(TrackNumber).isValid());
        QVERIFY(!model.indexOf(ModelDataType()).isValid());
        QVERIFY(!model.indexOfKey(QString()).isValid());

        // The none entry: first, selectable, empty key, no icon and no data type.
        const QModelIndex none = model.index(0, 0);
        QCOMPARE(none.data(DataTypeModel::KeyRole), QVariant(QString()));
        QVERIFY(!none.data(DataTypeModel::DataTypeRole).isValid());
        QVERIFY(!none.data(Qt::DecorationRole).isValid());
        QCOMPARE(none.flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);

        // Groups: enabled only, no key; the characters group has no icon.
        const QModelIndex characters = model.index(1, 0);
        QCOMPARE(characters.flags(), Qt::ItemIsEnabled);
        QVERIFY(!characters.data(DataTypeModel::KeyRole).isValid());
        QVERIFY(!characters.data(Qt::DecorationRole).isValid());
        QCOMPARE(model.rowCount(characters), 10);
        QCOMPARE(model.index(4, 0, characters).data(DataTypeModel::KeyRole).toString(), QStringLiteral("','"));

        const QModelIndex variables = model.indexOfKey(QStringLiteral("%_counter%")).parent();
        QCOMPARE(model.rowCount(variables), 18);
        QCOMPARE(model.index(2, 0, variables).data(DataTypeModel::KeyRole).toString(),
                 QStringLiteral("$num(%_total_files%,3)"));
        const QModelIndex functions = model.indexOfKey(QStringLiteral("$+(num1,num2)")).parent();
        QCOMPARE(model.rowCount(functions), 65);
        QCOMPARE(model.index(14, 0, functions).data().toString(), QStringLiteral("caps"));
        QCOMPARE(model.index(14, 0, functions).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("$caps(text,charList)"));
        // Top level: none, characters, tag items, file properties, special variables, functions.
        QCOMPARE(model.rowCount(), 6);
    }

};

QTEST_MAIN(tst_DataTypeModel)
#include "tst_datatypemodel.moc"
