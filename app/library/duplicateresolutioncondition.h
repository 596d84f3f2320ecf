#pragma once

#include <QString>
#include <QVariant>

#include "app/model/modeldatatype.h"

class AudioFile;

// Display texts of the duplicate resolution strategies (what happens to a losing file).
enum DuplicateResolutionTextId : quint32 {
    DuplicateActionNoneTextId = 0x0880cb2au,
    DuplicateActionByNameTextId = 0xd54a8929u,
    DuplicateActionByPathTextId = 0x392b9a7eu,
    DuplicateActionDeleteTextId = 0x246c4082u,
};

// One rule of a library's duplicate resolution: the data type whose values are compared and
// which value is preferred. The library's ordered list of these decides which duplicate stays.
class DuplicateResolutionCondition
{
public:
    enum DuplicateResolutionConditionType : int {
        PreferLowest = 0,
        PreferHighest = 1,
        PreferClosest = 2,
    };

    DuplicateResolutionCondition() = default;
    DuplicateResolutionCondition(const ModelDataType &dataType, int type, const QVariant &preferredValue)
        : dataType(dataType), type(type), preferredValue(preferredValue)
    {
    }

    static DuplicateResolutionCondition load(const QString &key);
    void save(const QString &key) const;

    // 1 when a is preferred, -1 when b is, 0 when this condition does not decide.
    int compare(AudioFile *a, AudioFile *b) const;
    // The same on two values of the data type (invalid for a missing value).
    int compareValues(const QVariant &a, const QVariant &b) const;

    ModelDataType dataType;
    int type = PreferLowest;
    QVariant preferredValue = QVariant(0);
};

QString duplicateActionName(int strategy);
