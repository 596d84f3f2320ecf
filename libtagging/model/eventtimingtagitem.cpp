#include "libtagging/model/eventtimingtagitem.h"

EventTimingTagItem::EventTimingTagItem(QObject *parent) : TagItem(parent) {}

EventTimingTagItem::EventTimingTagItem(const QList<TimedEvent> &events, QObject *parent)
    : TagItem(parent), events(events)
{
}

TagItem *EventTimingTagItem::clone(QObject *parent) const
{
    return new EventTimingTagItem(events, parent);
}

bool EventTimingTagItem::equals(const TagItem *other) const
{
    return other && other->type() == Type && static_cast<const EventTimingTagItem *>(other)->events == events;
}

bool EventTimingTagItem::isEmpty() const
{
    return events.isEmpty();
}

int EventTimingTagItem::type() const
{
    return Type;
}
