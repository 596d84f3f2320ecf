#include "libtagging/model/lyricstagitem.h"

LyricsTagItem::LyricsTagItem(QObject *parent) : StringTagItem(parent) {}

LyricsTagItem::LyricsTagItem(const QString &value, const QString &description, QObject *parent)
    : StringTagItem(value, parent), description(description)
{
}

TagItem *LyricsTagItem::clone(QObject *parent) const
{
    return new LyricsTagItem(value, description, parent);
}

bool LyricsTagItem::equals(const TagItem *other) const
{
    return StringTagItem::equals(other) && static_cast<const LyricsTagItem *>(other)->description == description;
}

int LyricsTagItem::type() const
{
    return Type;
}
