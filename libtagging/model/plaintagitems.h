#pragma once

#include "libtagging/model/booleantagitem.h"
#include "libtagging/model/datetimetagitem.h"
#include "libtagging/model/floatingpointtagitem.h"
#include "libtagging/model/integertagitem.h"
#include "libtagging/model/stringtagitem.h"
#include "libtagging/model/unknowndatatagitem.h"
#include "libtagging/model/unknownstringtagitem.h"

// The item classes that add nothing but their id to their base (the PLAIN rows of the
// catalogue): the base's constructors, a clone that copies the base's fields, the id.
#define MELO_DECLARE_CATALOGUE_ITEM_PLAIN(Id, Name, Base)                     \
    class Name##TagItem : public Base                                         \
    {                                                                         \
    public:                                                                   \
        using Base::Base;                                                     \
        static constexpr int Type = Id;                                       \
        TagItem *clone(QObject *parent = nullptr) const override              \
        {                                                                     \
            auto *item = new Name##TagItem(parent);                           \
            item->copyFields(*this);                                          \
            return item;                                                      \
        }                                                                     \
        int type() const override { return Id; }                              \
    };
#define MELO_DECLARE_CATALOGUE_ITEM_OWN(Id, Name, Base)
#define MELO_DECLARE_CATALOGUE_ITEM(kind, id, Name, Base, nameTextId) MELO_DECLARE_CATALOGUE_ITEM_##kind(id, Name, Base)

MELO_TAG_ITEM_CATALOGUE(MELO_DECLARE_CATALOGUE_ITEM)

#undef MELO_DECLARE_CATALOGUE_ITEM
#undef MELO_DECLARE_CATALOGUE_ITEM_OWN
#undef MELO_DECLARE_CATALOGUE_ITEM_PLAIN
