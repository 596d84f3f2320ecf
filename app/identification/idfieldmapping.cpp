#include "app/identification/idfieldmapping.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/idinterpretationresult.h"
#include "app/identification/idmappingmatrix.h"
#include "app/identification/idscoringcontext.h"
#include "app/identification/idsegment.h"
#include "app/identification/idsegmentgroup.h"
#include "app/identification/idtaggingpool.h"
#include "app/identification/idtracknumbergroup.h"
#include "libcore/text/textmatching.h"

namespace {
using Results = QMap<int, IdInterpretationResult *>;

enum : int {
    // The weight of leaving a field without a group: a group scoring -4 or less loses to it.
    NoGroupWeight = 47,
};

// The text without the punctuation and spaces at its ends.
QString withoutEdgePunctuation(const QString &text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    const auto edge = [](QChar c) { return c.isPunct() || c.isSpace(); };
    while (from < to && edge(text.at(from)))
        ++from;
    while (to > from && edge(text.at(to - 1)))
        --to;
    return text.mid(from, to - from);
}

// The field's value as the group reads it; invalid for a number field whose text is no
// number (or too large for one).
QVariant valueOf(IdSegmentGroup *group, int field)
{
    if (field == IdField::Artist)
        return group->artistName().toVariant();
    // No other item of the update takes a version phrase ("Radio Edit"), so the title keeps it.
    if (field == IdField::Title)
        return group->textWithVersions();
    QString text = group->text();
    if (field < IdField::TrackNumber || field > IdField::ReleaseDate)
        return text;
    // "01. Title" and "Disc. 2" leave the punctuation with the number.
    if (field <= IdField::DiscCount)
        text = withoutEdgePunctuation(text);
    if (!isDecimalNumber(text))
        return {};
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    return ok ? QVariant(number) : QVariant();
}

bool hasTrackNumberGroupSegment(const IdSegmentGroup *group)
{
    const QList<IdSegment *> segments = group->segments();
    return std::any_of(segments.cbegin(), segments.cend(),
                       [](const IdSegment *s) { return s->groupType() == IdGroup::TrackNumber; });
}

// The count is at least the highest number of the file's track-number groups.
void correctTrackCount(const IdAudioFile *file, Results &results, QObject *parent)
{
    int top = -1;
    for (const IdSegment *s : file->segments()) {
        if (s->groupType() != IdGroup::TrackNumber || s->group->entryCount() == 0)
            continue;
        top = qMax(top, static_cast<const IdTrackNumberGroup *>(s->group)->highestNumber());
    }
    if (top < 0)
        return;
    const IdInterpretationResult *count = results.value(IdField::TrackCount);
    if (count && count->value().toInt() >= top)
        return;
    results.insert(IdField::TrackCount, new IdInterpretationResult(nullptr, top, parent));
}

// "105" read from a name is disc 1, track 5; a sequence of the folder's track numbers is
// left alone.
void splitLargeTrackNumber(Results &results, QObject *parent)
{
    IdInterpretationResult *track = results.value(IdField::TrackNumber);
    if (!track || !track->group() || hasTrackNumberGroupSegment(track->group()))
        return;
    const int v = track->value().toInt();
    if (v <= 100 || v % 100 == 0)
        return;
    track->setValue(v % 100);
    if (!results.contains(IdField::DiscNumber))
        results.insert(IdField::DiscNumber, new IdInterpretationResult(nullptr, v / 100, parent));
}

// An album read from the file name that only echoes a strong artist or title is dropped.
void dropEchoedAlbum(Results &results)
{
    const IdInterpretationResult *album = results.value(IdField::Album);
    IdSegmentGroup *albumGroup = album ? album->group() : nullptr;
    if (!albumGroup || !albumGroup->allSegmentsFromKind(1, false) || albumGroup->classify(IdField::Album) == 3)
        return;
    const IdInterpretationResult *artist = results.value(IdField::Artist);
    const IdInterpretationResult *title = results.value(IdField::Title);
    IdSegmentGroup *artistGroup = artist ? artist->group() : nullptr;
    IdSegmentGroup *titleGroup = title ? title->group() : nullptr;
    const bool artistStrong = artistGroup && artistGroup->classify(IdField::Artist) == 3;
    const bool titleStrong = titleGroup && titleGroup->classify(IdField::Title) == 3;
    if (!title) {
        if (!artistStrong)
            return;
    } else if (!artistGroup) {
        if (!titleStrong)
            return;
    } else if (!titleStrong && !artistStrong) {
        return;
    }
    const QString albumText = albumGroup->text();
    if (artistGroup && artistGroup->resemblesText(albumText)) {
        results.remove(IdField::Album);
        return;
    }
    if (titleGroup && titleGroup->resemblesText(albumText)) {
        results.remove(IdField::Album);
        return;
    }
    if (titleStrong && artistStrong) {
        const QList<IdSegment *> segments = albumGroup->segments();
        if (std::all_of(segments.cbegin(), segments.cend(),
                        [](const IdSegment *s) { return s->sourceKind() != 0 && s->groupSize <= 4; }))
            results.remove(IdField::Album);
    }
}
} // namespace

void mapFieldsToGroups(IdScoringContext &context)
{
    IdAudioFile *file = context.file;
    QObject local;
    const QList<IdSegmentGroup *> groups = file->segmentGroups();

    QList<int> fields;
    for (IdSegmentGroup *group : groups) {
        for (const int field : group->scoredFields()) {
            if (!fields.contains(field))
                fields.append(field);
        }
    }
    QList<QList<int>> weights;
    weights.reserve(fields.size());
    for (const int field : std::as_const(fields)) {
        QList<int> row;
        row.reserve(groups.size() + fields.size());
        for (IdSegmentGroup *group : groups)
            row.append(qBound(-50, group->score(field), 50) + 50);
        row.insert(row.size(), fields.size(), NoGroupWeight);
        weights.append(row);
    }
    const IdMappingMatrix *matrix = IdMappingMatrix::fromWeights(weights, false, &local);

    Results results;
    for (qsizetype row = 0; row < fields.size(); ++row) {
        const int column = matrix->columnOfRow(int(row));
        if (column < 0 || column >= groups.size())
            continue;
        IdSegmentGroup *group = groups.at(column);
        const int field = fields.at(row);
        const QVariant value = valueOf(group, field);
        if (value.isValid())
            results.insert(field, new IdInterpretationResult(group, value, &local));
    }
    correctTrackCount(file, results, &local);
    splitLargeTrackNumber(results, &local);
    dropEchoedAlbum(results);

    if (context.firstPass) {
        for (const int field : {IdField::Artist, IdField::Album}) {
            const IdInterpretationResult *result = results.value(field);
            if (result && result->group() && context.pool)
                context.pool->addGroup(result->group(), field);
        }
        file->setResults(results);
        return;
    }
    IdVersionSummary summary;
    for (auto it = results.cbegin(); it != results.cend(); ++it) {
        file->setValue(it.key(), it.value()->value());
        if (IdSegmentGroup *group = it.value()->group()) {
            summary.merge(group->versionSummary());
            file->setValueConfidence(it.key(), group->classify(it.key()));
        }
    }
    file->versionSummary = summary;
}
