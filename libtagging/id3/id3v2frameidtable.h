#pragma once

#include <QList>
#include <QString>

// One frame under its id in each version; an empty id: the version has no such frame.
struct Id3v2FrameIdRow {
    QString id22;
    QString id23;
    QString id24;
};

// The correspondence of frame ids between ID3v2.2, 2.3 and 2.4. Reading turns every id
// into its 2.3 spelling so one set of handlers serves all versions; writing turns the
// writer's ids into the spelling of the version written. Built once, read-only afterwards.
class Id3v2FrameIdTable
{
public:
    static const QList<Id3v2FrameIdRow> &rows();
    // The id as spelt in version 2.<version>; empty when that version cannot hold the frame.
    // An id outside the table is kept when it is already valid for the version.
    static QString convert(const QString &id, int version);
    // Three (version 2) or four (versions 3, 4) characters of A-Z, 0-9 and blank.
    static bool isValidFrameId(const QString &id, int version);
};
