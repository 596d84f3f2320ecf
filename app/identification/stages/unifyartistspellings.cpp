#include "app/identification/stages/unifyartistspellings.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/idsection.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idwordlists.h"
#include "libcore/text/textmatching.h"

#include <map>

void IdConsistentArtistEntry::add(IdSection *section, const IdArtistName &name)
{
    if (!valid)
        return;
    const QString nameKey = name.sortKey();
    if (key.isEmpty()) {
        key = nameKey;
    } else if (!nameKey.isEmpty() && nameKey != key) {
        valid = false;
        return;
    }
    sections.append(section);
    names.append(name);
    if (!name.article.isEmpty())
        articles.append(name.article);
}

void IdConsistentArtistEntry::unify()
{
    if (!valid || sections.size() < 2)
        return;
    const QString &first = sections.first()->text();
    if (std::all_of(sections.cbegin(), sections.cend(), [&](const IdSection *s) { return s->text() == first; }))
        return;
    int count = 0;
    QString chosen = mostFrequentString(articles, &count);
    if (isArticle(chosen) && count <= names.size() / 2)
        chosen = QString();
    for (qsizetype j = 0; j < sections.size(); ++j) {
        IdArtistName name = names.at(j);
        name.setArticle(chosen);
        sections.at(j)->setTextKeepingBlanks(name.toString(true));
    }
}

void unifyArtistSpellings(const QList<IdAudioFile *> &files)
{
    unifyArtistSpellingsForKind(files, 1);
    unifyArtistSpellingsForKind(files, 2);
}

void unifyArtistSpellingsForKind(const QList<IdAudioFile *> &files, int kind)
{
    IdTable<IdString *> strings;
    for (const IdAudioFile *file : files) {
        if (const IdStringList *list = file->stringList(kind))
            strings.appendRow(list->strings());
    }
    for (int c = 0; c < strings.width; ++c) {
        IdTable<IdSection *> sections;
        for (IdString *string : strings.column(c)) {
            string->setSectionBreaks(DashAndNumberBreaks);
            sections.appendRow(string->sectionsWithWords());
        }
        unifyArtistSectionColumns(sections);
    }
}

void unifyArtistSectionColumns(const IdTable<IdSection *> &table)
{
    for (int c = 0; c < table.width; ++c) {
        // Ordered by key, so that the entries are unified in a fixed order.
        std::map<QString, IdConsistentArtistEntry> entries;
        for (IdSection *section : table.column(c)) {
            if (section->text().isEmpty())
                continue;
            // The blanks around a section stay where they are when it is rewritten.
            const IdArtistName name(section->text().trimmed());
            entries[name.sortKey()].add(section, name);
        }
        for (auto &[key, entry] : entries)
            entry.unify();
    }
}
