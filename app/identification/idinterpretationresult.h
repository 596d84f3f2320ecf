#pragma once

#include <QObject>
#include <QVariant>

class IdSegmentGroup;

// One field's chosen value: an IdArtistName for the artist, a text for album and title, an
// int for the number fields. The group is the one the value was read from, null for a
// value worked out otherwise (a track count from the track numbers).
class IdInterpretationResult : public QObject
{
public:
    IdInterpretationResult(IdSegmentGroup *group, const QVariant &value, QObject *parent = nullptr)
        : QObject(parent), m_group(group), m_value(value)
    {
    }

    IdSegmentGroup *group() const { return m_group; }
    QVariant value() const { return m_value; }
    void setValue(const QVariant &value) { m_value = value; }

private:
    IdSegmentGroup *m_group; // not owned
    QVariant m_value;
};
