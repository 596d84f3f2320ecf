#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A naming pattern as the pattern editors make it: folder levels in order (the last one the
// file name when the pattern covers folders), each a list of tag-script parts whose
// concatenation is that level's script.
struct NamingPattern {
    // Made in the simple editor rather than the advanced one.
    bool isSimple = true;
    QList<QStringList> levels;

    bool operator==(const NamingPattern &other) const = default;
};

// Stored under key as "isSimple" and "level[i]/part[j]"; whatever was stored under key goes
// first. A level without parts has no element and is not stored.
void saveNamingPattern(const NamingPattern &pattern, const QString &key);
// Nothing stored gives the default pattern; an empty part loads as one space.
NamingPattern loadNamingPattern(const QString &key);
