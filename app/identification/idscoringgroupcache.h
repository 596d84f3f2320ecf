#pragma once

#include <QHash>
#include <QPair>

class IdGroup;

// What the scoring steps find by walking all files of a track-number group. It depends only
// on the group and the pass, so a run works it out once per group and pass instead of once
// per file. One cache serves one run of the scoring stage.
class IdScoringGroupCache
{
public:
    // How many files of the group have an artist, an album and a title tag.
    struct TagCounts {
        int artist = 0;
        int album = 0;
        int title = 0;
    };
    // Whether the group's files look like tracks by several artists.
    struct ArtistVerdict {
        // The files' names, or their version phrases, say so.
        bool multiple = false;
        // Second pass: no artist of the first pass holds four fifths of the files.
        bool differentFirstArtists = false;
    };

    const TagCounts *tagCounts(const IdGroup *group, bool firstPass) const;
    void setTagCounts(const IdGroup *group, bool firstPass, const TagCounts &counts);
    const ArtistVerdict *artistVerdict(const IdGroup *group, bool firstPass) const;
    void setArtistVerdict(const IdGroup *group, bool firstPass, const ArtistVerdict &verdict);

private:
    using Key = QPair<const IdGroup *, bool>;
    QHash<Key, TagCounts> m_tagCounts;
    QHash<Key, ArtistVerdict> m_artistVerdicts;
};
