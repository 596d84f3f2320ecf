#pragma once

#include "libtagging/model/audiotag.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/model/tagitem.h"

#include <QStringList>

// An item of the type holding the value; the value must convert.
inline TagItem *makeItem(int type, const QVariant &value, QObject *parent = nullptr)
{
    TagItem *item = TagItem::create(type, parent);
    if (item && !item->fromVariant(value)) {
        delete item;
        return nullptr;
    }
    return item;
}

// A tag of the tag type (-1: no record) with the items; size -1 leaves key 3 out.
inline AudioTag *makeTag(int tagType, const QList<TagItem *> &items, int size = -1, QObject *parent = nullptr)
{
    auto *tag = new AudioTag(parent);
    if (tagType >= 0) {
        auto *info = new TagInfo;
        info->values.insert(TagInfo::TagTypeKey, tagType);
        if (size >= 0)
            info->values.insert(TagInfo::SizeKey, size);
        tag->setTagInfo(info);
    }
    for (TagItem *item : items)
        tag->addItem(item);
    return tag;
}

// The tag's items as "type:text" in tag order, for comparing whole tags in one line.
inline QStringList describe(const AudioTag *tag)
{
    QStringList result;
    for (const TagItem *item : tag->itemList())
        result.append(QStringLiteral("%1:%2").arg(item->type()).arg(item->toString(QStringLiteral("[data]"))));
    return result;
}
