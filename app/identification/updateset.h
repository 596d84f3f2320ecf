#pragma once

#include <QMap>
#include <QMetaType>
#include <QString>

#include "app/model/modeldatatype.h"

enum UpdateSetTextId : quint32 {
    DefaultUpdateSetNameTextId = 0x147A4BDAu,
};

// The data types an automatic change may touch, each with the merge mode that combines a
// file's original and new items of that type (MergeMode of the update operation). Id 0 is
// the built-in default set, which stands for every data type; -1 a set that is not stored;
// 1 and above a named set of the settings.
class UpdateSet
{
public:
    static constexpr int DefaultSetId = 0;
    static constexpr int UnstoredSetId = -1;

    int id = UnstoredSetId;
    QString name;
    QMap<ModelDataType, int> dataTypes;

    // Id 0, no data types, a name from the text table; made on first use.
    static const UpdateSet &defaultSet();

    // The named sets of the settings by id, the default set under 0; read from the settings
    // on first use and kept in step by save and remove.
    static QMap<int, UpdateSet> &all();
    // The set a selecting setting ("identification/updateSet" ...) names: a named set by id
    // (child "type" 0) or a set held inline (type 1); the default set otherwise.
    static UpdateSet fromSetting(const QString &key);
    // Stores this set into a selecting setting: by id, or inline when the set is not stored.
    void writeSetting(const QString &key) const;
    // Stores this set among the named sets, giving a new set the next free id. The caller
    // saves the settings file.
    void save();
    // Deletes this named set from the settings and the cache; the set is unstored then.
    void remove();

    // The key of the settings entry of the named set with that id; null when there is none.
    static QString settingsKeyForId(int id);
    void readEntry(const QString &entryKey);
    void writeEntry(const QString &entryKey) const;
    // The data types as "name:mode" pairs joined by commas, written under the key; types
    // without a script name are left out.
    void dataText(const QString &key) const;
    // Reads dataTypes from the pairs under the key; unknown names and malformed pairs are
    // skipped.
    void parseDataText(const QString &key);

    bool operator==(const UpdateSet &other) const
    {
        return id == other.id && name == other.name && dataTypes == other.dataTypes;
    }
    bool operator!=(const UpdateSet &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(UpdateSet)
