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
    values.insert(OffsetKey, values.value(OffsetKey, qint64(-1)).toLongLong() + delta);
    values.insert(DataOffsetKey, values.value(DataOffsetKey, qint64(-1)).toLongLong() + delta);
}
