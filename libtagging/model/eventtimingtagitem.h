#pragma once

#include "libtagging/model/tagitem.h"
#include "libtagging/model/timedevent.h"

// A list of timed event codes.
class EventTimingTagItem : public TagItem
{
public:
    static constexpr int Type = 39;

    explicit EventTimingTagItem(QObject *parent = nullptr);
    explicit EventTimingTagItem(const QList<TimedEvent> &events, QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    bool equals(const TagItem *other) const override;
    bool isEmpty() const override;
    int type() const override;

    QList<TimedEvent> events;
};
