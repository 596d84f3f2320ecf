#include "libtagging/model/taginfo.h"

TagInfo::TagInfo(QObject *parent) : QObject(parent) {}

TagInfo *TagInfo::clone(QObject *parent) const
{
    auto *info = new TagInfo(parent);
    info->values = values;
    return info;
}

namespace {

// The stored value, or the fallback without building a QVariant for it: the getters run
// for every tag on every read.
template<typename T, typename Convert>
T valueOr(const QMap<int, QVariant> &values, int key, T fallback, Convert convert)
{
    const auto it = values.constFind(key);
    return it != values.cend() ? convert(*it) : fallback;
}

} // namespace

int TagInfo::tagType() const
{
    return valueOr(values, TagTypeKey, int(TagType::Unknown), [](const QVariant &v) { return v.toInt(); });
}

qint64 TagInfo::offset() const
{
    return valueOr(values, OffsetKey, qint64(-1), [](const QVariant &v) { return v.toLongLong(); });
}

int TagInfo::size() const
{
    return valueOr(values, SizeKey, -1, [](const QVariant &v) { return v.toInt(); });
}

bool TagInfo::isPrepended() const
{
    return valueOr(values, PrependedKey, false, [](const QVariant &v) { return v.toBool(); });
}

int TagInfo::version() const
{
    return valueOr(values, VersionKey, -1, [](const QVariant &v) { return v.toInt(); });
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
