#include "libtagging/plain/freestreamio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/util/scratchowner.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/filetype.h"
#include "libtagging/model/icodecio.h"
#include "libtagging/model/itagio.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/plain/freestreamtagmanager.h"
#include "libtagging/plain/streamcontentcheck.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

FreeStreamIo *FreeStreamIo::instance()
{
    static FreeStreamIo *const io = new FreeStreamIo();
    return io;
}

namespace {

// Where the audio lies between the tags of a stack, from the last stack read on this thread;
// measuring the audio right after reading the tags of the same opening spares a second scan.
struct AudioRange
{
    quint64 openingId = 0;
    qint64 start = 0;
    qint64 end = 0;
};
thread_local AudioRange lastAudioRange;

AudioRange audioRange(IoStream *stream, const FreeStreamTagManager &manager)
{
    const auto [start, end] = manager.audioRange();
    return AudioRange{stream->openingId(), start, end};
}

// The file type of a stream measured with the codec reader: the one its name says when
// that type has the reader, else the first with it.
const FileType *typeOf(IoStream *stream, ICodecIo *codecIo)
{
    const FileType *named = FileType::detect(stream);
    if (named && named->codecIo == codecIo)
        return named;
    for (const FileType &type : FileType::all()) {
        if (type.codecIo == codecIo)
            return &type;
    }
    return named;
}

} // namespace

QList<AudioTag *> FreeStreamIo::readTags(IoStream *stream, const QList<int> &tagTypes,
                                         const TaggingSettings *settings, QObject *parent)
{
    FreeStreamTagManager manager(stream);
    lastAudioRange = audioRange(stream, manager);
    return readStack(stream, manager, tagTypes, settings, parent);
}

QList<AudioTag *> FreeStreamIo::readLooseTags(IoStream *stream, const QList<IAudioStreamIo *> &containerIos,
                                              const TaggingSettings *settings, QObject *parent)
{
    FreeStreamTagManager manager(stream, nullptr, [stream, &containerIos](qint64 start) {
        return declaredEnd(stream, containerIos, start);
    });
    return readStack(stream, manager, QList<int>(), settings, parent);
}

qint64 FreeStreamIo::declaredEnd(IoStream *stream, const QList<IAudioStreamIo *> &containerIos, qint64 start)
{
    for (IAudioStreamIo *io : containerIos) {
        try {
            stream->seek(start);
            const qint64 end = io->containerEnd(stream);
            if (end >= 0)
                return end;
        } catch (const Exception &) {
            // Not this reader's layout; the next may know it.
        }
    }
    return -1;
}

QList<AudioTag *> FreeStreamIo::readStack(IoStream *stream, const FreeStreamTagManager &manager,
                                          const QList<int> &tagTypes, const TaggingSettings *settings,
                                          QObject *parent)
{
    const TaggingSettings &used = settings ? *settings : TaggingSettings::defaults();
    ScratchOwner temporary;
    QList<AudioTag *> tags;
    for (TagInfo *info : manager.tagInfos()) {
        if (!tagTypes.isEmpty() && !tagTypes.contains(info->tagType()))
            continue;
        try {
            stream->seek(info->values.value(TagInfo::DataOffsetKey).toLongLong());
            ITagIo *io = FreeStreamTagManager::tagIo(info->tagType());
            if (!io)
                throw Exception(NoTagReader, {stream->displayName(), info->tagType()});
            tags.append(io->read(stream, info, &used, &temporary));
        } catch (const Exception &) {
            // Logged where it was thrown; the other tags are still read.
        }
    }
    for (AudioTag *tag : std::as_const(tags))
        tag->setParent(parent);
    return tags;
}

void FreeStreamIo::writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                             const TaggingSettings *settings)
{
    if (!tag)
        throw Exception(NoTagToWrite, {stream->displayName()});
    const TaggingSettings &used = settings ? *settings : TaggingSettings::defaults();

    // The new stack is checked once it stands; what does not read back is undone and the
    // write refused. A save of a file already runs in a transaction; a stream written
    // directly gets one of its own where the device allows it.
    const bool ownTransaction = !stream->inTransaction();
    if (ownTransaction) {
        try {
            stream->beginTransaction();
        } catch (const Exception &) {
            // A device without transactions is written as before, and not put back on failure.
        }
    }
    const bool undoable = stream->inTransaction();
    const qint64 savepoint = stream->savepoint();
    try {
        try {
            writeStack(stream, tag, tagTypes, used, false);
        } catch (const Exception &e) {
            // With less than 128 bytes behind the ID3v2 tag, a text of its frames may land where
            // an ID3v1 tag begins and pass for one. Padding of more than 128 bytes puts zeros
            // there instead.
            const bool writesId3v2 = tagTypes.isEmpty() || tagTypes.contains(int(TagType::Id3v2));
            if (e.code != WrittenTagsDoNotReadBack || !writesId3v2 || !undoable)
                throw;
            stream->rollBackTo(savepoint);
            writeStack(stream, tag, tagTypes, used, true);
        }
        if (ownTransaction)
            stream->commit();
    } catch (...) {
        // A transaction of the caller is put back by the caller, who reports when that fails.
        if (ownTransaction)
            stream->rollBack();
        throw;
    }
}

void FreeStreamIo::writeStack(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                              const TaggingSettings &settings, bool padId3v2)
{
    stream->seek(0);
    FreeStreamTagManager manager(stream);
    checkContent(stream, manager);

    // Every tag is made before the first byte changes, so that the room the stack needs on
    // the way is known and made first: a stream that cannot grow enough is left untouched.
    std::vector<std::pair<ITagIo *, std::unique_ptr<TagInfo>>> rendered;
    qint64 growth = 0;
    qint64 mostGrowth = 0;
    for (int type : {int(TagType::Id3v1), int(TagType::Id3v2), int(TagType::Lyrics3), int(TagType::Ape)}) {
        if (!tagTypes.isEmpty() && !tagTypes.contains(type))
            continue;
        ITagIo *io = FreeStreamTagManager::tagIo(type);
        std::unique_ptr<TagInfo> info(renderTag(stream, manager, io, tag, settings, padId3v2));
        // The first tag of the type is replaced, then the others go.
        const QList<TagInfo *> existing = manager.tags(type, io->isPrepended());
        growth += info->size() - (existing.isEmpty() ? 0 : existing.first()->size());
        mostGrowth = qMax(mostGrowth, growth);
        for (const TagInfo *other : existing.mid(1) + manager.tags(type, !io->isPrepended()))
            growth -= other->size();
        rendered.emplace_back(io, std::move(info));
    }
    stream->reserve(mostGrowth);

    manager.relayout();
    for (auto &[io, info] : rendered)
        placeTag(stream, manager, io, info.release());
    checkReadsBack(stream, manager);
}

void FreeStreamIo::checkReadsBack(IoStream *stream, const FreeStreamTagManager &manager)
{
    const FreeStreamTagManager again(stream);
    // Placed tags are listed in the order they were placed; the scan lists them as they lie.
    const auto byOffset = [](const TagInfo *a, const TagInfo *b) { return a->offset() < b->offset(); };
    QList<TagInfo *> placed = manager.allTags();
    QList<TagInfo *> found = again.allTags();
    std::stable_sort(placed.begin(), placed.end(), byOffset);
    std::stable_sort(found.begin(), found.end(), byOffset);
    bool same = placed.size() == found.size();
    for (qsizetype i = 0; same && i < placed.size(); ++i) {
        // Which end a tag counts to may differ: a stream of tags only lists each from the front.
        same = placed[i]->tagType() == found[i]->tagType() && placed[i]->offset() == found[i]->offset()
            && placed[i]->size() == found[i]->size();
    }
    if (!same)
        throw Exception(WrittenTagsDoNotReadBack, {stream->displayName()});
}

TagInfo *FreeStreamIo::renderTag(IoStream *stream, const FreeStreamTagManager &manager, ITagIo *io,
                                 const AudioTag *tag, const TaggingSettings &settings, bool padId3v2)
{
    const bool atStart = io->isPrepended();
    const QList<TagInfo *> existing = manager.tags(io->tagType(), atStart);

    TaggingSettings copy = settings;
    copy.id3v2.availableSize = existing.isEmpty() ? 0 : existing.first()->size();
    if (padId3v2) {
        copy.id3v2.availableSize = 0;
        copy.id3v2.preferredPaddingSize = qMax(0, copy.id3v2.preferredPaddingSize) + 128;
    }

    IoStream memory(QIODevice::ReadWrite);
    memory.setName(stream->name());
    io->render(&memory, tag, &copy);
    if (atStart)
        memory.seek(0);
    TagInfo *info = io->detect(&memory, atStart, nullptr);
    if (!info)
        throw Exception(RenderedTagNotFound, {stream->displayName()});
    info->values.insert(TagInfo::PrependedKey, atStart);
    return info;
}

void FreeStreamIo::placeTag(IoStream *stream, FreeStreamTagManager &manager, ITagIo *io, TagInfo *info)
{
    // The manager takes the record once the bytes are in place; until then it is ours.
    std::unique_ptr<TagInfo> owned(info);
    const bool atStart = io->isPrepended();
    const QList<TagInfo *> existing = manager.tags(io->tagType(), atStart);
    if (existing.isEmpty()) {
        info->shiftOffsets(insertionPoint(stream, manager, io) - info->offset());
        manager.insertTag(info);
        owned.release();
    } else {
        info->shiftOffsets(existing.first()->offset() - info->offset());
        manager.replaceTag(existing.first(), info);
        owned.release();
        for (qsizetype i = 1; i < existing.size(); ++i)
            manager.removeTag(existing[i]);
    }
    // A type lives at one end only.
    for (TagInfo *other : manager.tags(io->tagType(), !atStart))
        manager.removeTag(other);
}

qint64 FreeStreamIo::insertionPoint(IoStream *stream, FreeStreamTagManager &manager, ITagIo *io)
{
    if (io->isPrepended()) {
        const QList<int> &order = FreeStreamTagManager::frontTagOrder();
        qint64 point = 0;
        for (qsizetype i = 0; i < order.indexOf(io->tagType()); ++i) {
            for (TagInfo *info : manager.tags(order[i], true))
                point = qMax(point, info->offset() + info->size());
        }
        return point;
    }
    const QList<int> &order = FreeStreamTagManager::backTagOrder();
    qint64 point = stream->size();
    for (qsizetype i = order.indexOf(io->tagType()) + 1; i < order.size(); ++i) {
        for (TagInfo *info : manager.tags(order[i], false))
            point = qMin(point, info->offset());
    }
    return point;
}

void FreeStreamIo::removeTags(IoStream *stream, const QList<int> &tagTypes, const TaggingSettings *)
{
    FreeStreamTagManager manager(stream);
    checkContent(stream, manager);
    const QList<TagInfo *> all = manager.allTags();
    for (qsizetype i = all.size() - 1; i >= 0; --i) {
        if (tagTypes.isEmpty() || tagTypes.contains(all[i]->tagType()))
            manager.removeTag(all[i]);
    }
    manager.relayout();
}

void FreeStreamIo::removeLooseTags(IoStream *stream, const QList<IAudioStreamIo *> &containerIos,
                                   const TaggingSettings *)
{
    FreeStreamTagManager manager(stream, nullptr, [stream, &containerIos](qint64 start) {
        return declaredEnd(stream, containerIos, start);
    });
    const QList<TagInfo *> all = manager.allTags();
    for (qsizetype i = all.size() - 1; i >= 0; --i)
        manager.removeTag(all[i]);
}

AudioProperties FreeStreamIo::readAudioProperties(IoStream *stream, ICodecIo *codecIo)
{
    if (!codecIo)
        throw Exception(NoCodecReader, {stream->displayName()});
    AudioRange range = lastAudioRange;
    if (range.openingId == 0 || range.openingId != stream->openingId())
        range = audioRange(stream, FreeStreamTagManager(stream));
    const qint64 size = stream->size();
    const qint64 audioStart = range.start;
    const qint64 audioEnd = range.end;
    if (audioStart > audioEnd || audioEnd > size)
        throw Exception(TagsOverlapAudio, {stream->displayName(), audioStart, audioEnd, size});
    // Another format's data is not measured as this codec's: a chance match would show
    // properties of a stream that is not there.
    StreamContentCheck::checkSignature(stream, typeOf(stream, codecIo), audioStart, audioEnd);
    stream->seek(audioStart);
    return codecIo->readAudioProperties(stream, audioEnd - audioStart);
}

void FreeStreamIo::checkContent(IoStream *stream, const FreeStreamTagManager &manager)
{
    const auto [start, end] = manager.audioRange();
    StreamContentCheck::checkPlainStream(stream, FileType::detect(stream), start, end);
}

QList<int> FreeStreamIo::supportedItemTypes() const
{
    return {};
}
