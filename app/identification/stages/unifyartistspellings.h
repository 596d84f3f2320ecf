#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "app/identification/idartistname.h"
#include "app/identification/idtable.h"

class IdAudioFile;
class IdSection;

// The sections of one column whose artist names share one comparison key. A plain value,
// kept in a map for the length of one column.
class IdConsistentArtistEntry
{
public:
    // Collects the section; a name of another key makes the entry refuse everything.
    void add(IdSection *section, const IdArtistName &name);
    // Writes every section in one form: the name with the article the majority uses behind
    // a comma, or the name alone.
    void unify();

    bool valid = true;
    QList<IdSection *> sections; // not owned
    QList<IdArtistName> names;
    QString key;
    QStringList articles;
};

// Stage 0: makes articles consistent among artist-like sections that stand at the same place
// in the base names, then in the artist values, of a folder's files.
void unifyArtistSpellings(const QList<IdAudioFile *> &files);
void unifyArtistSpellingsForKind(const QList<IdAudioFile *> &files, int kind);
void unifyArtistSectionColumns(const IdTable<IdSection *> &table);
