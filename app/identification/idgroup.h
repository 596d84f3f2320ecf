#pragma once

#include <QList>
#include <QObject>

class IdString;
class IdWord;

// A finding of the grouping stage: runs of words repeated across the strings of a folder's
// files (a default group) or number words forming a track-number sequence. Groups and their
// entries derive from QObject only for ownership: a group owns its entries and belongs to the
// object the stage was given.
class IdGroup : public QObject
{
public:
    enum Kind { Default = 1, TrackNumber = 2 };

    // The field pattern of some files and how many showed it.
    struct FieldPattern {
        QList<int> pattern;
        int count = 0;
    };

    using QObject::QObject;

    virtual int kind() const = 0;
    virtual int entryCount() const = 0;
    virtual class IdGroupEntry *entry(int index) const = 0;
    // Points the words of every entry at this group, or at none.
    virtual void assignWords(bool assign) = 0;
    virtual void removeWord(IdWord *word) = 0;

    QList<FieldPattern> fieldPatterns;
};

// One string's share of a group.
class IdGroupEntry : public QObject
{
public:
    using QObject::QObject;

    IdGroup *group() const { return static_cast<IdGroup *>(parent()); }
    virtual IdString *string() const = 0;
    virtual QList<IdWord *> words() const = 0;
};
