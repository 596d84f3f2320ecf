#pragma once

#include "libtagging/model/disctoctrack.h"
#include "libtagging/model/tagitem.h"

// The table of contents of the CD a file was ripped from.
class DiscTocTagItem : public TagItem
{
public:
    static constexpr int Type = 32;
    static constexpr int LeadOutTrack = 170;

    explicit DiscTocTagItem(QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    bool equals(const TagItem *other) const override;
    bool isEmpty() const override;
    int type() const override;

    int firstTrack = -1;
    int lastTrack = -1;
    QList<DiscTocTrack> tracks;
    quint64 discId = 0;
};
