#include "libtagging/model/taginfo.h"

TagInfo::TagInfo(QObject *parent) : QObject(parent) {}

TagInfo *TagInfo::clone(QObject *parent) const
{
    auto *info = new TagInfo(parent);
    info->values = values;
    return info;
}

int TagInfo::tagType() const
{
    return values.value(TagTypeKey, int(TagType::Unknown)).toInt();
}

qint64 TagInfo::offset() const
{
    return values.value(OffsetKey, qint64(-1)).toLongLong();
}

int TagInfo::size() const
{
    return values.value(SizeKey, -1).toInt();
}

bool TagInfo::isPrepended() const
{
    return values.value(PrependedKey, false).toBool();
}

int TagInfo::version() const
{
    return values.value(VersionKey, -1).toInt();
}

void TagInfo::shiftOffsets(qint64 delta)
{
    // An offset the record does not know stays unknown rather than becoming delta - 1,
    // which a writer would take for a real position.
    for (int key : {int(OffsetKey), int(DataOffsetKey)}) {
        const auto it = values.find(key);
        if (it != values.end())
            *it = it->toLongLong() + delta;
    }
}
