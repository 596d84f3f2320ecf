#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include "app/identification/idartistname.h"
#include "app/identification/idversionsummary.h"

class IdSegment;

// The segments of one file that say the same thing in different places (the artist in a
// folder name, the file name and the artist tag). Sums their field scores, and may be
// linked to the group that follows it in the same strings.
class IdSegmentGroup : public QObject
{
public:
    using QObject::QObject;

    void add(IdSegment *segment);
    QList<IdSegment *> segments() const { return m_segments; }
    IdSegmentGroup *next() const { return m_next; }
    // The sums are worked out again before the next read.
    void invalidate() { m_scoresValid = false; }

    QString text();
    // The text with the version phrases ("Tides (Acoustic Version)") that text() leaves out.
    QString textWithVersions();
    IdArtistName artistName();
    IdVersionSummary versionSummary();
    void update();

    int score(int field);
    QList<int> scoredFields();
    // 1 rejected (-3 or less), 2 weak, 3 strong (30 or more).
    int classify(int field);
    void setAdjustment(int field, int value) { m_adjustments.insert(field, value); }
    int adjustment(int field) const { return m_adjustments.value(field, 0); }
    // How far the segment's artist, album and title scores lie from the group's.
    int distance(IdSegment *segment);
    bool allSegmentsFromKind(int kind, bool all) const;
    int maxGroupSize() const;
    bool mayBeTitle() const;
    bool isFileNameTitle() const;
    // A similar text, not the same one.
    bool resemblesText(const QString &text);
    bool accepts(IdSegment *segment, bool strict);
    // Links the other group behind this one when each of its segments directly follows one
    // of this group's in the same string.
    bool tryMerge(IdSegmentGroup *other);

private:
    void updateScores();
    QList<IdSegment *> textSegments() const;
    void updateText();
    QString joinedText(bool withVersions) const;
    void updateVersionSummary();
    void updateArtistName();

    QList<IdSegment *> m_segments; // not owned
    IdSegmentGroup *m_next = nullptr;
    QString m_text;
    IdVersionSummary m_versionSummary;
    IdArtistName m_artistName;
    bool m_upToDate = true;
    QMap<int, int> m_fieldScores;
    int m_baseSum = 0;
    QMap<int, int> m_adjustments;
    bool m_scoresValid = true;
};
