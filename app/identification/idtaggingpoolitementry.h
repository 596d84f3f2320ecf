#pragma once

#include <QObject>

// How often one text was chosen for the artist or the album, by the band of the chosen
// group's score: strong (above 29), weak (0 to 29) or rejected (below 0).
class IdTaggingPoolItemEntry : public QObject
{
public:
    using QObject::QObject;

    enum Band { Strong = 0, Weak = 1, Rejected = 2 };
    // The band of a group's score for a field.
    static int bandOf(int score);

    void record(int band);
    bool countsRejected() const { return m_countsRejected; }
    void setCountsRejected(bool counts) { m_countsRejected = counts; }
    // The weak count, with the rejected one when it counts.
    int weakTotal() const;

    // The score a group with this entry is raised to from its current score.
    int targetScore(int current) const;
    bool isSignificant() const;
    bool isWeakerThan(const IdTaggingPoolItemEntry &other) const;
    // Whether this entry clearly outweighs the other; always over none.
    bool dominates(const IdTaggingPoolItemEntry *other) const;

    int strongCount = 0;
    int weakCount = 0;
    int rejectedCount = 0;

private:
    bool m_countsRejected = true;
};
