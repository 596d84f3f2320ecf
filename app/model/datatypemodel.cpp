#include "app/model/datatypemodel.h"

#include "app/tagscript/scriptvariables.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/icons/icons.h"

namespace {

// The script's function catalogue as offered for insertion; the script knows further
// functions that are not offered here.
const char *const functionSignatures[] = {
    "$+(num1,num2)", "$-(num1,num2)", "$*(num1,num2)", "$/(num1,num2)", "$!(expr)",
    "$==(expr1,expr2)", "$!=(expr1,expr2)", "$>=(expr1,expr2)", "$<=(expr1,expr2)",
    "$>(expr1,expr2)", "$<(expr1,expr2)", "$&&(bool1,bool2)", "$||(bool1,bool2)",
    "$caps(text)", "$caps(text,charList)", "$caps2(text)", "$caps2(text,charList)",
    "$caps3(text)", "$caps3(text,charList)", "$char(charCode)", "$contains(text,find)",
    "$date(format)", "$date(date,format)", "$distance(text1,text2)", "$endswith(text,find)",
    "$fmtnum(number)", "$fmtsize(number)", "$getenv(varName)", "$if(expr,falsepart)",
    "$if(expr,truepart,falsepart)", "$ifgreater(num1,num2,truepart,falsepart)",
    "$iflonger(text1,text2,truepart,falsepart)", "$indexof(text,find)", "$insert(text,pos,insert)",
    "$isempty(text)", "$isdigit(char)", "$lastindexof(text,find)", "$left(text,len)",
    "$length(text)", "$lower(text)", "$mid(text,pos)", "$mid(text,pos,len)", "$mid2(text,pos)",
    "$mod(num1,num2)", "$num(number,width)", "$odd(number)", "$ord(char)", "$pad(text,length,char)",
    "$regexp(text,find,replace)", "$regexp(text,find,replace,cs)", "$remove(text,find)",
    "$remove(text,pos,len)", "$repeat(text,count)", "$replace(text,find,replace)", "$reverse(text)",
    "$right(text,len)", "$split(text,separator,index)", "$startswith(text,find)",
    "$substr(text,start)", "$substr(text,start,end)", "$timestamp(date)", "$trim(text)",
    "$truncate(text,length)", "$upper(text)", "$validate(text,replace)",
};

struct CharacterEntry {
    const char *shown;
    const char *inserted;
};

// Syntax characters are inserted in the script's single quotes.
const CharacterEntry characterEntries[] = {
    {"-", " - "}, {nullptr, " "}, {"_", "_"},     {".", "."},     {",", "','"},
    {";", ";"},   {"(", "'('"},   {"[", "'['"},   {")", "')'"},   {"]", "']'"},
};

struct SpecialVariableEntry {
    quint32 textId;
    const char *inserted;
};

const SpecialVariableEntry specialVariableEntries[] = {
    {CoversTextId, "%_covers%"},
    {CoverHeightTextId, "%_cover_height%"},
    {CoverWidthTextId, "%_cover_width%"},
    {CoverSizeTextId, "%_cover_size%"},
    {CoverTypeTextId, "%_cover_type%"},
    {CoverMimeTypeTextId, "%_cover_mimetype%"},
    {CurrentDateTextId, "$date(yyyy-MM-dd)"},
    {CurrentDateTimeTextId, "$date(yyyy-MM-dd hh-mm-ss)"},
    {TimestampTextId, "%_timestamp%"},
    {RandomNumberTextId, "%_rand%"},
    {TagNameTextId, "%_tag%"},
    {ModeTextId, "%_mode%"},
};

// The last tag item category; it has no name and no types.
constexpr int LastItemCategory = 18;

QString capitalized(quint32 textId)
{
    return upperCaseFirst(textForId(textId));
}

const QIcon &namedIcon(const char *name)
{
    static const QIcon tag = loadIcon(QStringLiteral("tag"));
    static const QIcon audioFile = loadIcon(QStringLiteral("audioFile"));
    static const QIcon music = loadIcon(QStringLiteral("music"));
    static const QIcon redo = loadIcon(QStringLiteral("redo"));
    static const QIcon function = loadIcon(QStringLiteral("function"));
    static const QIcon none;
    const QLatin1String n(name);
    if (n == QLatin1String("tag"))
        return tag;
    if (n == QLatin1String("audioFile"))
        return audioFile;
    if (n == QLatin1String("music"))
        return music;
    if (n == QLatin1String("redo"))
        return redo;
    if (n == QLatin1String("function"))
        return function;
    return none;
}

} // namespace

QString dataTypeKey(const ModelDataType &type)
{
    if (type.category == ModelDataType::CategoryNone)
        return QString();
    const QString name = dataTypeNames().value(type);
    return name.isEmpty() ? QString() : u'%' + name + u'%';
}

DataTypeModel::DataTypeModel(const QList<ModelDataType> &dataTypes, Options options, QObject *parent)
    : QStandardItemModel(parent), m_dataTypes(dataTypes), m_options(options)
{
    populate();
}

DataTypeModel::~DataTypeModel() = default;

QModelIndex DataTypeModel::indexOf(const ModelDataType &type) const
{
    if (type.category == ModelDataType::CategoryNone)
        return QModelIndex();
    return indexOfKey(dataTypeKey(type));
}

QModelIndex DataTypeModel::indexOfKey(const QString &key) const
{
    QStandardItem *item = findItemByKey(invisibleRootItem(), key);
    return item ? item->index() : QModelIndex();
}

void DataTypeModel::populate()
{
    if (m_options & NoneEntry)
        addNoneEntry();
    if (m_options & CharacterEntries)
        addCharacterGroup();
    addTagItemGroup();
    addFilePropertyGroup();
    addAudioPropertyGroup();
    if (m_options & SpecialVariables)
        addSpecialVariableGroup();
    if (m_options & ScriptFunctions)
        addFunctionGroup();
    removeEmptyGroups(invisibleRootItem());
    collapseSingleGroup(invisibleRootItem());
}

QStandardItem *DataTypeModel::addGroup(QStandardItem *parent, const QString &text, const QIcon &icon)
{
    auto *group = new QStandardItem(text);
    group->setFlags(Qt::ItemIsEnabled);
    if (!icon.isNull())
        group->setData(icon, Qt::DecorationRole);
    parent->appendRow(group);
    return group;
}

QStandardItem *DataTypeModel::addEntry(QStandardItem *parent, const QString &text, const QString &key,
                                       const ModelDataType &type)
{
    auto *entry = new QStandardItem(text);
    entry->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    entry->setData(parent->data(Qt::DecorationRole).value<QIcon>(), Qt::DecorationRole);
    entry->setData(key, Qt::ToolTipRole);
    entry->setData(key, KeyRole);
    entry->setData(QVariant::fromValue(type), DataTypeRole);
    parent->insertRow(parent->rowCount(), entry);
    return entry;
}

void DataTypeModel::addNoneEntry()
{
    auto *entry = new QStandardItem(capitalized(NoDataTypeTextId));
    entry->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    entry->setData(QVariant(QString(QLatin1String(""))), KeyRole);
    invisibleRootItem()->appendRow(entry);
}

void DataTypeModel::addCharacterGroup()
{
    QStandardItem *group = addGroup(invisibleRootItem(), capitalized(CharactersGroupTextId), QIcon());
    for (const CharacterEntry &character : characterEntries) {
        const QString shown = character.shown ? QString::fromLatin1(character.shown)
                                              : QStringLiteral("[%1]").arg(capitalized(SpaceTextId));
        addEntry(group, shown, QString::fromLatin1(character.inserted));
    }
}

bool DataTypeModel::isListed(const ModelDataType &type) const
{
    if (!m_dataTypes.contains(type) || dataTypeKey(type).isEmpty())
        return false;
    return !type.isTagItem() || (m_options & NonTextualItemTypes) || TagItem::isTextualType(type.id);
}

void DataTypeModel::addDataType(QStandardItem *parent, const ModelDataType &type, const QString &displayName)
{
    if (!isListed(type))
        return;
    addEntry(parent, upperCaseFirst(displayName), dataTypeKey(type), type);
    addDataTypeSnippets(parent, type);
}

void DataTypeModel::addTagItemGroup()
{
    QStandardItem *group = addGroup(invisibleRootItem(), capitalized(TagItemsGroupTextId), namedIcon("tag"));
    for (int category = 0; category <= LastItemCategory; ++category) {
        QStandardItem *subgroup = addGroup(group, upperCaseFirst(TagItem::categoryName(category)), namedIcon("tag"));
        for (int itemType : TagItem::typesOfCategory(category))
            addDataType(subgroup, ModelDataType(ModelDataType::CategoryTagItem, itemType), TagItem::typeName(itemType));
    }
}

void DataTypeModel::addFilePropertyGroup()
{
    QStandardItem *group =
        addGroup(invisibleRootItem(), capitalized(FilePropertiesGroupTextId), namedIcon("audioFile"));
    for (int id = 0; id < FileProperty::Count; ++id)
        addDataType(group, ModelDataType(ModelDataType::CategoryFileProperty, id), filePropertyDisplayName(id));
}

void DataTypeModel::addAudioPropertyGroup()
{
    QStandardItem *group = addGroup(invisibleRootItem(), capitalized(AudioPropertiesGroupTextId), namedIcon("music"));
    for (int id = 0; id < AudioProperty::Count; ++id)
        addDataType(group, ModelDataType(ModelDataType::CategoryAudioProperty, id), audioPropertyDisplayName(id));
}

void DataTypeModel::addNumberedEntries(QStandardItem *parent, const QString &name, const QString &key, int first,
                                       int last)
{
    for (int n = qMax(first, 1); n <= last; ++n) {
        if (n == 1)
            addEntry(parent, upperCaseFirst(name), key);
        else
            addEntry(parent, upperCaseFirst(textForId(NumberedEntryTextId).arg(name).arg(n)),
                     QStringLiteral("$num(%1,%2)").arg(key).arg(n));
    }
}

void DataTypeModel::addDataTypeSnippets(QStandardItem *parent, const ModelDataType &type)
{
    const QString key = dataTypeKey(type);
    if (!(m_options & DataTypeSnippets) || key.isEmpty())
        return;
    const QString name = dataTypeDisplayName(type);
    const auto snippet = [&](quint32 textId, const QString &inserted) {
        addEntry(parent, upperCaseFirst(textForId(textId).arg(name)), inserted);
    };
    const auto is = [&](const ModelDataType &other) { return type == other; };
    using T = TagItemType::Id;
    if (type.isTagItem() && TagItem::dataTypeOf(type.id) == TagItemDataType::DateTime) {
        snippet(YearSnippetTextId, QStringLiteral("$date(%1,yyyy)").arg(key));
    } else if (is(ModelDataType(T::TrackNumber)) || is(ModelDataType(T::TrackCount))
               || is(ModelDataType(T::DiscNumber)) || is(ModelDataType(T::DiscCount))
               || is(ModelDataType(T::MovementNumber)) || is(ModelDataType(T::MovementCount))) {
        addNumberedEntries(parent, name, key, 2, 2);
        if (is(ModelDataType(T::DiscNumber)))
            snippet(DiscSnippetTextId, QStringLiteral("$ifgreater(%1,1,Disc %2,)")
                                           .arg(dataTypeKey(ModelDataType(T::DiscCount)), key));
    } else if (is(ModelDataType(T::AlbumArtist))) {
        addEntry(parent,
                 upperCaseFirst(textForId(AlbumArtistSnippetTextId)
                                    .arg(TagItem::typeName(T::AlbumArtist), TagItem::typeName(T::Artist))),
                 QStringLiteral("$if(%1,%2)").arg(key, dataTypeKey(ModelDataType(T::Artist))));
    } else if (is(ModelDataType(T::PlaybackDelay)) || is(ModelDataType(T::PlayDuration))
               || is(ModelDataType(AudioProperty::playDuration))) {
        snippet(SecondsSnippetTextId, QStringLiteral("$/(%1,1000)").arg(key));
    } else if (is(ModelDataType(T::FileSize)) || is(ModelDataType(FileProperty::fileSize))
               || is(ModelDataType(AudioProperty::audioSize)) || is(ModelDataType(AudioProperty::audioMetaDataSize))) {
        snippet(SizeSnippetTextId, QStringLiteral("$fmtsize(%1)").arg(key));
    }
}

void DataTypeModel::addSpecialVariableGroup()
{
    QStandardItem *group =
        addGroup(invisibleRootItem(), capitalized(SpecialVariablesGroupTextId), namedIcon("redo"));
    addNumberedEntries(group, textForId(TotalFilesTextId), QStringLiteral("%_total_files%"), 1, 3);
    addNumberedEntries(group, textForId(CounterTextId), QStringLiteral("%_counter%"), 1, 3);
    for (const SpecialVariableEntry &entry : specialVariableEntries)
        addEntry(group, capitalized(entry.textId), QString::fromLatin1(entry.inserted));
}

void DataTypeModel::addFunctionGroup()
{
    QStandardItem *group = addGroup(invisibleRootItem(), capitalized(FunctionsGroupTextId), namedIcon("function"));
    for (const char *signature : functionSignatures) {
        const QString inserted = QString::fromLatin1(signature);
        addEntry(group, inserted.mid(1, inserted.indexOf(u'(') - 1), inserted);
    }
}

void DataTypeModel::removeEmptyGroups(QStandardItem *item)
{
    for (int row = item->rowCount() - 1; row >= 0; --row) {
        QStandardItem *child = item->child(row);
        removeEmptyGroups(child);
        if (!child->data(KeyRole).isValid() && child->rowCount() == 0)
            item->removeRow(row);
    }
}

void DataTypeModel::collapseSingleGroup(QStandardItem *root)
{
    while (root->rowCount() == 1) {
        QStandardItem *group = root->child(0);
        if (group->data(KeyRole).isValid())
            return;
        for (int row = 0; row < group->rowCount(); ++row) {
            if (group->child(row)->data(KeyRole).isValid())
                return;
        }
        for (int row = group->rowCount() - 1; row >= 0; --row)
            root->insertRow(1, group->takeRow(row));
        root->removeRow(0);
    }
}

QStandardItem *DataTypeModel::findItemByKey(QStandardItem *item, const QString &key)
{
    if (!item || key.isEmpty())
        return nullptr;
    if (item->data(KeyRole).toString() == key)
        return item;
    for (int row = 0; row < item->rowCount(); ++row) {
        if (QStandardItem *found = findItemByKey(item->child(row), key))
            return found;
    }
    return nullptr;
}
