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

    bool operator==(const UpdateSet &other) const
    {
        return id == other.id && name == other.name && dataTypes == other.dataTypes;
    }
    bool operator!=(const UpdateSet &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(UpdateSet)
