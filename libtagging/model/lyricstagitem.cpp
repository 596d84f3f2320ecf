#include "libtagging/model/lyricstagitem.h"

LyricsTagItem::LyricsTagItem(QObject *parent) : StringTagItem(parent) {}

LyricsTagItem::LyricsTagItem(const QString &value, const QString &description, const LanguageInfo &language, QObject *parent)
    : StringTagItem(value, parent), description(description), language(language)
{
}

LyricsTagItem::LyricsTagItem(const QString &value, const QString &description, QObject *parent)
    : LyricsTagItem(value, description, LanguageInfo(), parent)
{
}

TagItem *LyricsTagItem::clone(QObject *parent) const
{
    return new LyricsTagItem(value, description, language, parent);
}

bool LyricsTagItem::equals(const TagItem *other) const
{
    return StringTagItem::equals(other) && static_cast<const LyricsTagItem *>(other)->description == description;
}

int LyricsTagItem::type() const
{
    return Type;
}
