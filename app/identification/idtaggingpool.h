#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>

#include "app/identification/idtaggingpoolitementry.h"

class IdSegmentGroup;

// The artist and album texts the files of a run chose in the first scoring pass, counted by
// score band. In the second pass a file's group whose text the other files agree on is
// raised to a winning score, so that files of one album converge on one reading.
class IdTaggingPool : public QObject
{
public:
    using QObject::QObject;

    using EntryPair = QPair<IdTaggingPoolItemEntry *, IdTaggingPoolItemEntry *>; // artist, album
    struct Best {
        IdSegmentGroup *group = nullptr;
        IdTaggingPoolItemEntry *entry = nullptr;
    };

    // The key a text is counted under: an artist's sort key, so that the place of an article
    // makes no difference, and the letters and digits of anything else.
    static QString poolKey(const QString &text, int field);

    // Counts the group's text for the artist (1) or the album (2); other fields are ignored.
    void addGroup(IdSegmentGroup *group, int field);
    // Null for a null group, an uncounted text or another field. The group looked up last
    // decides whether the entry's rejected count belongs to its weak total: not for a
    // group made only of folder names.
    IdTaggingPoolItemEntry *entryFor(IdSegmentGroup *group, int field);
    // The group with the best entry, the earlier one on a tie.
    Best bestGroup(const QList<IdSegmentGroup *> &groups, int field, bool skipFolderOnly);
    // Raises the agreed group of the field; true when it did.
    bool applyToGroups(const QList<IdSegmentGroup *> &groups, int field, bool skipFolderOnly);
    void apply(const QList<IdSegmentGroup *> &groups, bool lowSharing, bool lowWeight);

    const QMap<QString, EntryPair> &entries() const { return m_entries; }

private:
    QMap<QString, EntryPair> m_entries;
};
