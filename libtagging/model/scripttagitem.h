#pragma once

#include "libtagging/model/stringtagitem.h"

// The writing script of the texts, as its ISO 15924 code.
class ScriptTagItem : public StringTagItem
{
public:
    static constexpr int Type = 99;

    using StringTagItem::StringTagItem;

    TagItem *clone(QObject *parent = nullptr) const override;
    int type() const override;
};
