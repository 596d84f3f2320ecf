#pragma once

#include "libtagging/model/stringtagitem.h"

// The language of the lyrics or the spoken words, as its ISO 639-2/T code.
class LanguageTagItem : public StringTagItem
{
public:
    static constexpr int Type = 55;

    using StringTagItem::StringTagItem;

    TagItem *clone(QObject *parent = nullptr) const override;
    int type() const override;
};
