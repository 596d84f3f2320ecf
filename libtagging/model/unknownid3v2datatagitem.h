#pragma once

#include "libtagging/model/unknowndatatagitem.h"

// An ID3v2 frame that no item type maps: the frame id as the name, the frame's content as the data.
class UnknownId3v2DataTagItem : public UnknownDataTagItem
{
public:
    static constexpr int Type = 112;

    using UnknownDataTagItem::UnknownDataTagItem;

    TagItem *clone(QObject *parent = nullptr) const override;
    int type() const override;
};
