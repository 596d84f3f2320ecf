#pragma once

#include "libtagging/model/stringtagitem.h"

// The country of the release, as its ISO 3166-1 alpha-2 code.
class ReleaseCountryTagItem : public StringTagItem
{
public:
    static constexpr int Type = 93;

    using StringTagItem::StringTagItem;

    TagItem *clone(QObject *parent = nullptr) const override;
    int type() const override;
};
