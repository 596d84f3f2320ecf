#include "libtagging/plain/freestreamtagmanager.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/util/threads.h"
#include "libtagging/id3/id3v1tagio.h"
#include "libtagging/id3/id3v2tagio.h"
#include "libtagging/model/itagio.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/plain/apetagio.h"
#include "libtagging/plain/lyrics3tagio.h"

#include <memory>

namespace {

TagInfo *probe(IoStream *stream, ITagIo *io, qint64 pos, bool atStart)
{
    try {
        stream->seek(pos);
        std::unique_ptr<TagInfo> info(io->detect(stream, atStart, nullptr));
        if (!info)
            return nullptr;
        // A tag must have a size and lie where it was looked for, or the scan would probe
        // the same place again or walk outside the stream.
        const qint64 size = info->size();
        const qint64 offset = info->offset();
        if (size <= 0 || info->values.value(TagInfo::RawDataKey).toByteArray().size() != size)
            return nullptr;
        if (atStart ? (offset != pos || pos + size > stream->size()) : (offset != pos - size || offset < 0))
            return nullptr;
        info->values.insert(TagInfo::PrependedKey, atStart);
        return info.release();
    } catch (const Exception &) {
        return nullptr;
    }
}

int rankOf(int tagType, bool front)
{
    return int((front ? FreeStreamTagManager::frontTagOrder() : FreeStreamTagManager::backTagOrder()).indexOf(tagType));
}

qint64 endOf(const QList<TagInfo *> &startTags)
{
    return startTags.isEmpty() ? 0 : startTags.last()->offset() + startTags.last()->size();
}

// An end tag found inside the tags at the start. The same tag seen from its other end (a
// stream of tags only) stays a start tag. Any other tag wins: a start tag may claim more than
// it holds, and one whose claim reaches into the tags at the end would swallow the audio;
// the size it claims is only checked against the stream's, which a save at the end changes,
// so such a header would be no tag before a save and hide the tags written after it. The
// start tags from the one it reaches into on are dropped, their bytes left as audio.
bool takesOverStartTags(const TagInfo *endTag, QList<TagInfo *> &startTags)
{
    const qint64 end = endTag->offset() + endTag->size();
    for (qsizetype i = 0; i < startTags.size(); ++i) {
        const TagInfo *start = startTags[i];
        if (start->offset() + start->size() <= endTag->offset())
            continue;
        if (start->tagType() == endTag->tagType() && start->offset() + start->size() == end)
            return false;
        while (startTags.size() > i)
            delete startTags.takeLast();
        return true;
    }
    return false;
}

// Whether a tag found from its end shows its mark where it claims to begin, as every tag
// does but an APE tag found by its footer alone: that one begins where a size says, a claim
// no better than a start tag's, and the start tag read first keeps its bytes.
bool beginsWithMark(const TagInfo *endTag)
{
    return endTag->tagType() != TagType::Ape
        || endTag->values.value(TagInfo::RawDataKey).toByteArray().startsWith("APETAGEX");
}

} // namespace

FreeStreamTagManager::FreeStreamTagManager(IoStream *stream, QObject *parent, const ContainerEnd &containerEnd)
    : QObject(parent)
    , m_stream(stream)
{
    // The tag records found are adopted one by one; nothing listens for that.
    muteChildEvents(this);
    scan(containerEnd);
}

const QList<int> &FreeStreamTagManager::frontTagOrder()
{
    static const QList<int> order{TagType::Id3v2, TagType::Ape};
    return order;
}

const QList<int> &FreeStreamTagManager::backTagOrder()
{
    static const QList<int> order{TagType::Id3v2, TagType::Ape, TagType::Lyrics3, TagType::Id3v1};
    return order;
}

ITagIo *FreeStreamTagManager::tagIo(int tagType)
{
    switch (tagType) {
    case TagType::Id3v1:
        return Id3v1TagIo::instance();
    case TagType::Id3v2:
        return Id3v2TagIo::instance();
    case TagType::Lyrics3:
        return Lyrics3TagIo::instance();
    case TagType::Ape:
        return ApeTagIo::instance();
    default:
        return nullptr;
    }
}

void FreeStreamTagManager::scan(const ContainerEnd &containerEnd)
{
    const qint64 size = m_stream->size();

    const QList<ITagIo *> startDetectors{Id3v2TagIo::instance(), ApeTagIo::instance()};
    QList<TagInfo *> startTags;
    qint64 pos = 0;
    for (bool found = true; found;) {
        found = false;
        for (ITagIo *io : startDetectors) {
            if (TagInfo *info = probe(m_stream, io, pos, true)) {
                startTags.append(info);
                pos += info->size();
                found = true;
                break;
            }
        }
    }

    // The end tags never reach into the start tags: a stream made of tags only lists each
    // tag once, and a start tag that reaches into other tags at the end is none. The
    // container is asked where it ends only once something behind it looks like a tag, as
    // most files have none and finding the end may walk the whole file.
    const qint64 containerStart = pos;
    qint64 containerLimit = 0;
    bool limitKnown = !containerEnd;
    // The tags whose mark stands right where they end are asked first: an ID3v1 tag is known
    // only by "TAG" 128 bytes further back, which the bytes of another tag there may hold.
    const QList<ITagIo *> endDetectors{Lyrics3TagIo::instance(), ApeTagIo::instance(), Id3v2TagIo::instance(),
                                       Id3v1TagIo::instance()};
    QList<TagInfo *> endTags;
    pos = size;
    // Looked for even where the start tags seem to end: a claim that reaches the stream's end
    // or the last tags found exactly must not hide the tags before them either.
    for (bool found = true; found && (pos == size || (pos > containerLimit && pos >= endOf(startTags)));) {
        found = false;
        for (ITagIo *io : endDetectors) {
            TagInfo *info = probe(m_stream, io, pos, false);
            if (!info)
                continue;
            if (!limitKnown) {
                limitKnown = true;
                try {
                    containerLimit = qMax(qint64(0), containerEnd(containerStart));
                } catch (const Exception &) {
                    // A container that cannot say where it ends sets no limit.
                }
            }
            if (info->offset() < containerLimit
                || (info->offset() < endOf(startTags)
                    && (!beginsWithMark(info) || !takesOverStartTags(info, startTags)))) {
                delete info;
                continue;
            }
            endTags.prepend(info);
            pos = info->offset();
            found = true;
            break;
        }
    }
    for (TagInfo *info : std::as_const(startTags))
        adopt(info);
    for (TagInfo *info : std::as_const(endTags))
        adopt(info);
}

void FreeStreamTagManager::adopt(TagInfo *info)
{
    info->setParent(this);
    m_tagInfos.append(info);
}

std::pair<qint64, qint64> FreeStreamTagManager::audioRange() const
{
    qint64 start = 0;
    qint64 end = m_stream->size();
    for (const TagInfo *info : m_tagInfos) {
        if (info->isPrepended())
            start = qMax(start, info->offset() + info->size());
        else
            end = qMin(end, info->offset());
    }
    return {start, end};
}

QList<TagInfo *> FreeStreamTagManager::tags(int tagType, bool prepended) const
{
    QList<TagInfo *> result;
    for (TagInfo *info : m_tagInfos) {
        if (info->tagType() == tagType && info->isPrepended() == prepended)
            result.append(info);
    }
    return result;
}

void FreeStreamTagManager::insertTag(TagInfo *info)
{
    const qint64 offset = info->offset();
    m_stream->seek(offset);
    m_stream->insert(info->values.value(TagInfo::RawDataKey).toByteArray());
    for (TagInfo *other : std::as_const(m_tagInfos)) {
        if (other->offset() >= offset)
            other->shiftOffsets(info->size());
    }
    adopt(info);
}

void FreeStreamTagManager::replaceTag(TagInfo *oldInfo, TagInfo *newInfo)
{
    const qsizetype index = m_tagInfos.indexOf(oldInfo);
    if (index < 0)
        // A record the manager does not hold may be gone already: it is never read.
        throw Exception(UnknownReplacedTag, {m_stream->displayName(), int(TagType::Unknown)});
    const qint64 offset = oldInfo->offset();
    const qint64 delta = qint64(newInfo->size()) - oldInfo->size();
    m_stream->seek(offset);
    m_stream->replace(oldInfo->size(), newInfo->values.value(TagInfo::RawDataKey).toByteArray());
    newInfo->shiftOffsets(offset - newInfo->offset());
    for (TagInfo *other : std::as_const(m_tagInfos)) {
        if (other != oldInfo && other->offset() > offset)
            other->shiftOffsets(delta);
    }
    newInfo->setParent(this);
    m_tagInfos[index] = newInfo;
    delete oldInfo;
}

void FreeStreamTagManager::removeTag(TagInfo *info)
{
    const qsizetype index = m_tagInfos.lastIndexOf(info);
    if (index < 0)
        throw Exception(UnknownRemovedTag, {m_stream->displayName(), int(TagType::Unknown)});
    const qint64 offset = info->offset();
    m_stream->seek(offset);
    m_stream->remove(info->size());
    for (TagInfo *other : std::as_const(m_tagInfos)) {
        if (other != info && other->offset() > offset)
            other->shiftOffsets(-qint64(info->size()));
    }
    m_tagInfos.removeAt(index);
    delete info;
}

void FreeStreamTagManager::relayout()
{
    for (qsizetype i = 1; i < m_tagInfos.size(); ++i) {
        if (m_tagInfos[i]->offset() < m_tagInfos[i - 1]->offset())
            throw Exception(TagsOutOfOrder,
                            {m_stream->displayName(), m_tagInfos[i - 1]->offset(), m_tagInfos[i]->offset()});
    }

    // Each ranked tag is compared with the ranked tag before it.
    bool front = true;
    bool frontOutOfOrder = false;
    bool backOutOfOrder = false;
    int previousRank = -1;
    for (TagInfo *info : std::as_const(m_tagInfos)) {
        if (front && !info->isPrepended()) {
            front = false;
            previousRank = -1;
        }
        const int rank = rankOf(info->tagType(), front);
        if (rank < 0)
            continue;
        if (rank < previousRank)
            (front ? frontOutOfOrder : backOutOfOrder) = true;
        previousRank = rank;
    }
    if (frontOutOfOrder)
        rewriteEnd(frontTagOrder(), true);
    if (backOutOfOrder)
        rewriteEnd(backTagOrder(), false);
}

void FreeStreamTagManager::rewriteEnd(const QList<int> &order, bool prepended)
{
    QList<TagInfo *> collected;
    qint64 lowest = -1;
    for (TagInfo *info : std::as_const(m_tagInfos)) {
        if (info->isPrepended() == prepended) {
            collected.append(info);
            if (lowest < 0 || info->offset() < lowest)
                lowest = info->offset();
        }
    }
    if (collected.isEmpty())
        return;
    // Every tag of the end is written back, those of one type in their old order; types
    // outside the order keep their relative place after the ordered ones.
    QList<TagInfo *> sorted;
    for (int type : order) {
        for (TagInfo *info : std::as_const(collected)) {
            if (info->tagType() == type)
                sorted.append(info);
        }
    }
    for (TagInfo *info : std::as_const(collected)) {
        if (!sorted.contains(info))
            sorted.append(info);
    }
    m_stream->seek(lowest);
    for (TagInfo *info : std::as_const(sorted)) {
        info->shiftOffsets(m_stream->pos() - info->offset());
        m_stream->writeBytes(info->values.value(TagInfo::RawDataKey).toByteArray());
    }
    // The list follows the stream order again.
    for (TagInfo *info : std::as_const(sorted))
        m_tagInfos.removeOne(info);
    qsizetype insertAt = 0;
    while (insertAt < m_tagInfos.size() && m_tagInfos[insertAt]->offset() < lowest)
        ++insertAt;
    for (qsizetype i = 0; i < sorted.size(); ++i)
        m_tagInfos.insert(insertAt + i, sorted[i]);
}
