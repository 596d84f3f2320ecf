#include "libtagging/model/commenttagitem.h"

CommentTagItem::CommentTagItem(QObject *parent) : StringTagItem(parent) {}

CommentTagItem::CommentTagItem(const QString &value, const QString &description, const LanguageInfo &language, QObject *parent)
    : StringTagItem(value, parent), description(description), language(language)
{
}

CommentTagItem::CommentTagItem(const QString &value, const QString &description, QObject *parent)
    : CommentTagItem(value, description, LanguageInfo(), parent)
{
}

TagItem *CommentTagItem::clone(QObject *parent) const
{
    return new CommentTagItem(value, description, language, parent);
}

bool CommentTagItem::equals(const TagItem *other) const
{
    return StringTagItem::equals(other) && static_cast<const CommentTagItem *>(other)->description == description;
}

int CommentTagItem::type() const
{
    return Type;
}
