#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>

#include "app/identification/idartistname.h"

class IdGroup;
class IdSegmentGroup;
class IdString;
class IdVersionItem;
class IdWord;

// The values the identification looks for; 0 is none.
struct IdField {
    enum : int {
        None = 0,
        Artist = 1,
        Album = 2,
        Title = 3,
        TrackNumber = 4,
        TrackCount = 5,
        DiscNumber = 6,
        DiscCount = 7,
        ReleaseDate = 8,
    };
};

// The kind of phrase a word (and a segment) belongs to. Words start as plain words; the
// first step that claims a word keeps it.
struct IdWordCategory {
    enum : int {
        PlainWord = 1,
        TrackGroupWord = 2,
        TrackNumberValue = 3,
        TrackCountValue = 4,
        DiscNumberValue = 5,
        DiscCountValue = 6,
        DiscFromTrackNumber = 7,
        YearWord = 8,
        DiscKeyword = 9,
        NotArtist = 10,
        VariousArtistsPhrase = 11,
        NotAlbum = 12,
        NotTitle = 13,
        IgnoredWord = 14,
    };
};

// The identification field of each tag item type that has one.
const QHash<int, int> &identificationFieldByItemType();

// A run of consecutive words of one string that stands as one candidate value, with a score
// per identification field. Belongs to the file whose string it cuts.
class IdSegment : public QObject
{
public:
    IdSegment(IdString *string, const QList<IdWord *> &words, QObject *parent = nullptr);
    ~IdSegment() override;

    IdString *string() const { return m_string; }
    const QList<IdWord *> &words() const { return m_words; }
    QString text() const;
    // The kind of the string's list: 0 folder names, 1 base name, 2 to 7 tag values.
    int sourceKind() const;
    // The kind of the segment's stage-2 group, 0 without one.
    int groupType() const;
    bool hasOtherWords() const;
    int indexOfString() const;
    QList<IdWord *> realWords() const;
    IdVersionItem *versionItem() const { return m_versionItem; }

    // Write access to the field's score; a field not scored yet starts at the base score.
    int &score(int field);
    const QMap<int, int> &scores() const { return m_scores; }
    // Reads a field's score without entering the field.
    int fieldScore(int field) const { return m_scores.value(field, m_baseScore); }
    int baseScore() const { return m_baseScore; }
    void addToAll(int delta);
    void setAll(int value);
    // Leaves the segment group, forgets the scores and the preference.
    void reset();
    // Only a segment of the base name can prefer a field.
    void markPreferredField(int field);

    IdSegmentGroup *segmentGroup = nullptr; // not owned
    IdGroup *group = nullptr;               // not owned
    quint32 boundary = 0;
    int category = 0;
    int groupSize = 0;
    IdArtistName artistName;
    bool preferred = false;
    int preferredField = 0;

private:
    void invalidateGroup();

    IdString *m_string; // not owned
    QList<IdWord *> m_words; // not owned
    IdVersionItem *m_versionItem = nullptr;
    QMap<int, int> m_scores;
    int m_baseScore = 0;
};
