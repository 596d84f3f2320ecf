#pragma once

#include <QStandardItemModel>

#include "app/model/modeldatatype.h"

// The script name of a data type between '%' characters (%albumArtist%); empty for data
// types without a script name.
QString dataTypeKey(const ModelDataType &type);

// The tree that data-type pickers and the tag-script pop-up offer: data types grouped by
// kind and tag item category and, on request, the characters, special variables, snippets
// and functions of tag scripts. Built once by the constructor and never changed. Entries
// carry the text they insert into a script (KeyRole) and, for data types, the data type
// (DataTypeRole); groups have no key.
class DataTypeModel : public QStandardItemModel
{
    Q_OBJECT
public:
    enum Option {
        NoneEntry = 0x01,
        CharacterEntries = 0x02,
        NonTextualItemTypes = 0x04,
        DataTypeSnippets = 0x08,
        SpecialVariables = 0x10,
        ScriptFunctions = 0x20,
    };
    Q_DECLARE_FLAGS(Options, Option)

    enum Role {
        DataTypeRole = Qt::UserRole,
        KeyRole = Qt::UserRole + 3,
    };

    // Only membership in the list counts; the tree keeps the catalogue's own order.
    DataTypeModel(const QList<ModelDataType> &dataTypes, Options options, QObject *parent = nullptr);
    ~DataTypeModel() override;

    QList<ModelDataType> dataTypes() const { return m_dataTypes; }
    Options options() const { return m_options; }

    // The entry of the data type itself (never one of its snippets); invalid when not listed.
    QModelIndex indexOf(const ModelDataType &type) const;
    // The first entry in tree order with the key; an empty key finds nothing.
    QModelIndex indexOfKey(const QString &key) const;

private:
    void populate();
    void addNoneEntry();
    void addCharacterGroup();
    void addTagItemGroup();
    void addFilePropertyGroup();
    void addAudioPropertyGroup();
    void addSpecialVariableGroup();
    void addFunctionGroup();
    QStandardItem *addGroup(QStandardItem *parent, const QString &text, const QIcon &icon);
    QStandardItem *addEntry(QStandardItem *parent, const QString &text, const QString &key,
                            const ModelDataType &type = ModelDataType());
    void addNumberedEntries(QStandardItem *parent, const QString &name, const QString &key, int first, int last);
    void addDataTypeSnippets(QStandardItem *parent, const ModelDataType &type);
    void addDataType(QStandardItem *parent, const ModelDataType &type, const QString &displayName);
    bool isListed(const ModelDataType &type) const;
    static void removeEmptyGroups(QStandardItem *item);
    static void collapseSingleGroup(QStandardItem *root);
    static QStandardItem *findItemByKey(QStandardItem *item, const QString &key);

    QList<ModelDataType> m_dataTypes;
    Options m_options;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(DataTypeModel::Options)

enum DataTypeModelTextId : quint32 {
    NoDataTypeTextId = 3770476510u,
    TagItemsGroupTextId = 3835013956u,
    FilePropertiesGroupTextId = 1202764073u,
    AudioPropertiesGroupTextId = 1818009533u,
    NumberedEntryTextId = 152564177u,      // [name, digits]
    YearSnippetTextId = 3164930689u,       // [data type]
    DiscSnippetTextId = 2428318169u,       // [data type]
    AlbumArtistSnippetTextId = 1463849617u, // [album artist, artist]
    SecondsSnippetTextId = 1200546589u,    // [data type]
    SizeSnippetTextId = 1446998385u,       // [data type]
    CharactersGroupTextId = 3406332232u,
    SpaceTextId = 1014826298u,
    SpecialVariablesGroupTextId = 3245680813u,
    TotalFilesTextId = 2178561399u,
    CounterTextId = 3678991863u,
    CoversTextId = 3034613368u,
    CoverHeightTextId = 845086766u,
    CoverWidthTextId = 238931092u,
    CoverSizeTextId = 2875754976u,
    CoverTypeTextId = 1035989229u,
    CoverMimeTypeTextId = 806252468u,
    CurrentDateTextId = 988138294u,
    CurrentDateTimeTextId = 1897550784u,
    TimestampTextId = 4058388950u,
    RandomNumberTextId = 1115168036u,
    TagNameTextId = 165567723u,
    ModeTextId = 3769040865u,
    FunctionsGroupTextId = 1007177817u,
};
