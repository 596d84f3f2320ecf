#include "app/identification/idsegment.h"
#include "app/identification/identificationtextids.h"

#include "app/identification/idgroup.h"
#include "app/identification/idsegmentgroup.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idversionitem.h"
#include "app/identification/idword.h"
#include "libcore/log/logger.h"
#include "libtagging/model/tagitem.h"

const QHash<int, int> &identificationFieldByItemType()
{
    static const QHash<int, int> fields{
        {int(TagItemType::Album), IdField::Album},
        {int(TagItemType::AlbumSortName), IdField::Album},
        {int(TagItemType::Artist), IdField::Artist},
        {int(TagItemType::ArtistSortName), IdField::Artist},
        {int(TagItemType::DiscCount), IdField::DiscCount},
        {int(TagItemType::DiscNumber), IdField::DiscNumber},
        {int(TagItemType::ReleaseDate), IdField::ReleaseDate},
        {int(TagItemType::Title), IdField::Title},
        {int(TagItemType::TrackCount), IdField::TrackCount},
        {int(TagItemType::TrackNumber), IdField::TrackNumber},
    };
    return fields;
}

IdSegment::IdSegment(IdString *string, const QList<IdWord *> &words, QObject *parent)
    : QObject(parent), m_string(string), m_words(words)
{
    for (const IdWord *word : words) {
        if (word->group) {
            if (!group)
                group = word->group;
            else if (group != word->group)
                Logger::error(SegmentGroupsTextId);
        }
        if (word->boundary != 0) {
            if (boundary == 0)
                boundary = word->boundary;
            else if (boundary != word->boundary)
                Logger::error(SegmentBoundariesTextId);
        }
        if (category == 0)
            category = word->category;
        else if (category != word->category)
            Logger::error(SegmentCategoriesTextId);
        if (word->kind() == IdWordKind::Word && (groupSize == 0 || word->groupSize < groupSize))
            groupSize = word->groupSize;
    }
    if (boundary == 0)
        boundary = 1;
    if (groupSize == 0)
        groupSize = 1;
    const int field = identificationFieldForKind(sourceKind());
    m_versionItem = field != 0 ? new IdVersionItem(words, field) : new IdVersionItem(words);
    artistName.parse(m_versionItem->remainderText());
}

IdSegment::~IdSegment()
{
    delete m_versionItem;
}

QString IdSegment::text() const
{
    QString result;
    for (const IdWord *word : m_words)
        result += word->text();
    return result;
}

int IdSegment::sourceKind() const
{
    const IdStringList *list = m_string ? m_string->stringList() : nullptr;
    return list ? list->kind() : -1;
}

int IdSegment::groupType() const
{
    return group ? group->kind() : 0;
}

bool IdSegment::hasOtherWords() const
{
    return m_versionItem->hasOtherWords();
}

int IdSegment::indexOfString() const
{
    return m_string ? m_string->indexInList() : -1;
}

QList<IdWord *> IdSegment::realWords() const
{
    QList<IdWord *> result;
    for (IdWord *word : m_words) {
        if (word->kind() == IdWordKind::Word)
            result.append(word);
    }
    return result;
}

int &IdSegment::score(int field)
{
    invalidateGroup();
    auto it = m_scores.find(field);
    if (it == m_scores.end())
        it = m_scores.insert(field, m_baseScore);
    return it.value();
}

void IdSegment::addToAll(int delta)
{
    invalidateGroup();
    for (int &value : m_scores)
        value += delta;
    m_baseScore += delta;
}

void IdSegment::setAll(int value)
{
    invalidateGroup();
    for (int &v : m_scores)
        v = value;
    m_baseScore = value;
}

void IdSegment::reset()
{
    invalidateGroup();
    segmentGroup = nullptr;
    m_scores.clear();
    m_baseScore = 0;
    preferred = false;
}

void IdSegment::markPreferredField(int field)
{
    if (sourceKind() != 1)
        return;
    preferred = true;
    preferredField = field;
}

void IdSegment::invalidateGroup()
{
    if (segmentGroup)
        segmentGroup->invalidate();
}
