#include "libtagging/model/audiostream.h"

#include <algorithm>

#include <QDateTime>
#include <QFileInfo>

#include "libcore/io/fileinfo.h"
#include "libcore/io/folderlistingcache.h"
#include "libcore/io/folderwalk.h"
#include "libcore/io/iostream.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/util/partialdatetime.h"
#include "libcore/util/scratchowner.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/filetype.h"
#include "libtagging/model/iaudiostreamio.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/plain/freestreamio.h"
#include "libtagging/plain/streamcontentcheck.h"

namespace {

const quint32 NoFileType = 20123655u;
const quint32 ReadingTags = 4162671319u;
const quint32 NoTagReader = 378683868u;
const quint32 WritingTags = 2702467448u;
const quint32 FileGone = 931925067u;
const quint32 MakingWritable = 4077268634u;
const quint32 NoTagWriter = 1359880250u;
const quint32 NotPutBack = 54541994u;
const quint32 MeasuringAudio = 4268922967u;
const quint32 NoAudioProperties = 3212920893u;

const int MaxArtworkFolderEntries = 100;

// Closes the device on every way out, so that a failure part-way does not leave the file
// open and make the next open of the same stream fail.
class DeviceCloser
{
public:
    explicit DeviceCloser(IoStream *stream) : m_stream(stream) {}
    ~DeviceCloser()
    {
        m_stream->close();
    }
    DeviceCloser(const DeviceCloser &) = delete;
    DeviceCloser &operator=(const DeviceCloser &) = delete;

private:
    IoStream *m_stream;
};

} // namespace

AudioStream::AudioStream(IoStream *stream, QObject *parent)
    : QObject(parent), m_stream(stream), m_looseTagIo(FreeStreamIo::instance())
{
    // Tags come and go with every read; nothing listens for the child events they would send.
    muteChildEvents(this);
    if (m_stream)
        m_stream->setParent(this);
    m_typeRecord = FileType::detect(m_stream);
    if (!m_typeRecord)
        Logger::warning(NoFileType, {m_stream ? m_stream->displayName() : QString()});
}

int AudioStream::fileType() const
{
    return m_typeRecord ? m_typeRecord->id : 0;
}

QString AudioStream::filePath() const
{
    return m_stream ? m_stream->name() : QString();
}

QString AudioStream::fileName() const
{
    return QFileInfo(withoutTrailingSlash(filePath())).fileName();
}

void AudioStream::setFormat(const FileType *typeRecord, IAudioStreamIo *looseTagIo)
{
    m_typeRecord = typeRecord;
    m_looseTagIo = looseTagIo;
}

QList<IAudioStreamIo *> AudioStream::streamIos() const
{
    return m_typeRecord ? m_typeRecord->streamIos : QList<IAudioStreamIo *>();
}

IAudioStreamIo *AudioStream::separateLooseTagIo() const
{
    return m_looseTagIo && !streamIos().contains(m_looseTagIo) ? m_looseTagIo : nullptr;
}

qint64 AudioStream::endOfFrontTags(const QList<AudioTag *> &looseTags)
{
    qint64 end = 0;
    for (const AudioTag *tag : looseTags) {
        const TagInfo *info = tag->tagInfo();
        if (info && info->isPrepended())
            end = std::max(end, info->offset() + info->size());
    }
    return end;
}

void AudioStream::readTags(int tagType, bool clean)
{
    const QString displayName = m_stream->displayName();
    Logger::info(ReadingTags, {displayName});
    const QList<IAudioStreamIo *> readers = streamIos();
    setTag(nullptr, tagType);
    const QList<int> requested = tagType == 0 ? QList<int>() : QList<int>{tagType};

    // Owns every tag until it is stored; what is not stored goes with it.
    ScratchOwner temporary;
    bool succeeded = false;
    {
        m_stream->open(QIODevice::ReadOnly);
        DeviceCloser closer(m_stream);

        qint64 start = 0;
        if (IAudioStreamIo *looseTagIo = separateLooseTagIo()) {
            // Behind the container only what lies past its declared end, as writing strips.
            const QList<AudioTag *> looseTags =
                looseTagIo->readLooseTags(m_stream, readers, &taggingSettings, &temporary);
            for (AudioTag *tag : looseTags) {
                if (requested.isEmpty() || requested.contains(tag->tagType()))
                    addTag(tag, clean);
            }
            start = endOfFrontTags(looseTags);
        }

        for (IAudioStreamIo *reader : readers) {
            try {
                m_stream->seek(start);
                const QList<AudioTag *> found = reader->readTags(m_stream, requested, &taggingSettings, &temporary);
                for (AudioTag *tag : found)
                    addTag(tag, clean);
                succeeded = true;
                break;
            } catch (const Exception &) {
                // The next reader may know the layout.
            }
        }
        // Whoever reads every tag of a file shows its audio properties next; measuring them
        // while the file is open spares opening it again. A failure here is left to
        // audioProperties, which measures anew and reports it.
        if (succeeded && tagType == 0 && !m_properties.valid) {
            Logger::info(MeasuringAudio, {displayName});
            measureAudioProperties(start);
        }
        // Say what the file holds when it is not what its name says.
        if (!succeeded && m_typeRecord)
            StreamContentCheck::check(m_stream, m_typeRecord);
    }
    if (!succeeded)
        throw Exception(NoTagReader, {displayName});

    if (tagType == 0) {
        QList<AudioTag *> stored;
        for (AudioTag *tag : std::as_const(m_tags))
            stored.append(tag);
        AudioTag *merged = AudioTag::merge(stored, &temporary);
        addFolderArtwork(merged);
        if (!merged->itemList().isEmpty())
            setTag(merged, 0);
    }
}

void AudioStream::addFolderArtwork(AudioTag *tag)
{
    if (!tag)
        return;
    const QString folder = parentPath(filePath());
    if (folder.isEmpty())
        return;
    try {
        // One listing gives both the entry count and the image files; the files of a folder
        // read in one batch share it.
        const FolderListingCache::Listing listing = FolderListingCache::list(folder, MaxArtworkFolderEntries);
        if (listing.count > MaxArtworkFolderEntries)
            return;
        const QStringList &names = listing.names;
        const QList<TagItem *> existing = tag->items(TagItemType::Artwork);
        ScratchOwner temporary;
        const QList<ArtworkTagItem *> candidates = ArtworkTagItem::folderArtwork(folder, names, &temporary);
        for (ArtworkTagItem *candidate : candidates) {
            const QByteArray &bytes = candidate->image().data;
            const bool held = std::any_of(existing.begin(), existing.end(), [&bytes](const TagItem *item) {
                return static_cast<const ArtworkTagItem *>(item)->image().data == bytes;
            });
            if (!held)
                tag->addItem(candidate);
        }
    } catch (const Exception &) {
        // Artwork beside the file is a bonus; the pictures appended so far stay.
    }
}

void AudioStream::writeTags(int tagType)
{
    const QString displayName = m_stream->displayName();
    Logger::info(WritingTags, {displayName});
    const QString path = m_stream->name();
    if (!path.isEmpty() && !QFileInfo::exists(withoutTrailingSlash(path)))
        throw Exception(FileGone, {displayName});

    AudioTag *tag = m_tags.value(tagType);
    const bool hasItems = tag && !tag->itemList().isEmpty();
    const QList<TagTypeOption> options =
        tagType == 0 ? taggingSettings.writtenTagTypes.value(fileType()) : QList<TagTypeOption>();
    QList<int> written;
    QList<int> removed;
    if (hasItems) {
        tag->removeDuplicates();
        tag->reorderArtists();
        if (taggingSettings.updateTaggingDate)
            tag->replaceItem(new TaggingDateTagItem(PartialDateTime(QDateTime::currentDateTime())), 0);
        if (tagType != 0) {
            written.append(tagType);
        } else {
            for (const TagTypeOption &option : options) {
                if (option.mode == TagTypeMode::Write)
                    written.append(option.tagType);
                else if (option.mode == TagTypeMode::Remove)
                    removed.append(option.tagType);
            }
        }
    } else if (tagType != 0) {
        removed.append(tagType);
    } else {
        for (const TagTypeOption &option : options) {
            if (option.mode != TagTypeMode::Keep)
                removed.append(option.tagType);
        }
    }

    const QList<IAudioStreamIo *> writers = streamIos();
    // Without a writer nothing can succeed: fail before the loose tags are stripped.
    if (writers.isEmpty())
        throw Exception(NoTagWriter, {displayName});

    if (!m_stream->canOpen(QIODevice::ReadWrite) && taggingSettings.updateWriteProtectedFiles && !path.isEmpty()
        && !hasPermission(path, QFileDevice::WriteOwner)) {
        Logger::info(MakingWritable, {displayName});
        // The owner gets write access; nothing is opened to anybody else.
        makeWritable(path);
    }

    bool succeeded = false;
    {
        m_stream->open(QIODevice::ReadWrite);
        DeviceCloser closer(m_stream);

        // A file whose bytes are not what its name says is refused before anything changes.
        StreamContentCheck::check(m_stream, m_typeRecord);
        m_stream->seek(0);

        // One save is all or nothing: whatever fails, the file is put back as it was. A file
        // that cannot be put back is reported as such.
        m_stream->beginTransaction();
        const auto putBack = [this, &displayName](qint64 savepoint, bool whole) {
            try {
                m_stream->rollBackTo(savepoint);
                if (whole)
                    m_stream->rollBack();
            } catch (const Exception &e) {
                throw Exception(NotPutBack, {displayName, e.message()});
            }
        };
        try {
            if (IAudioStreamIo *looseTagIo = separateLooseTagIo()) {
                // Audio at the container's end that looks like a tag is not cut.
                looseTagIo->removeLooseTags(m_stream, writers, &taggingSettings);
                m_stream->seek(0);
            }

            const qint64 looseTagsRemoved = m_stream->savepoint();
            for (IAudioStreamIo *writer : writers) {
                try {
                    m_stream->seek(0);
                    if (tag && !written.isEmpty())
                        writer->writeTags(m_stream, tag, written, &taggingSettings);
                    if (!removed.isEmpty())
                        writer->removeTags(m_stream, removed, &taggingSettings);
                    succeeded = true;
                    break;
                } catch (const Exception &) {
                    // The next writer may know the layout; it finds the stream as this one did.
                    putBack(looseTagsRemoved, false);
                }
            }
            if (succeeded)
                m_stream->commit();
            else
                putBack(0, true);
        } catch (...) {
            if (m_stream->inTransaction())
                putBack(0, true);
            throw;
        }
    }
    if (!succeeded)
        throw Exception(NoTagWriter, {displayName});
}

AudioProperties AudioStream::audioProperties()
{
    if (m_properties.valid)
        return m_properties;
    const QString displayName = m_stream->displayName();
    Logger::info(MeasuringAudio, {displayName});
    {
        m_stream->open(QIODevice::ReadOnly);
        DeviceCloser closer(m_stream);

        // A container behind loose tags (an ID3v2 tag in front of FLAC, for example) is
        // measured from where it begins, as its tags are read.
        qint64 start = 0;
        if (IAudioStreamIo *looseTagIo = separateLooseTagIo(); looseTagIo && !streamIos().isEmpty()) {
            try {
                ScratchOwner temporary;
                start = endOfFrontTags(looseTagIo->readTags(m_stream, QList<int>(), &taggingSettings, &temporary));
            } catch (const Exception &) {
                start = 0;
            }
        }
        measureAudioProperties(start);
        // Say what the file holds when it is not what its name says.
        if (!m_properties.valid && m_typeRecord)
            StreamContentCheck::check(m_stream, m_typeRecord);
    }
    if (!m_properties.valid)
        throw Exception(NoAudioProperties, {displayName});
    return m_properties;
}

void AudioStream::measureAudioProperties(qint64 start)
{
    ICodecIo *codecIo = m_typeRecord ? m_typeRecord->codecIo : nullptr;
    for (IAudioStreamIo *reader : streamIos()) {
        try {
            m_stream->seek(start);
            m_properties = reader->readAudioProperties(m_stream, codecIo);
            if (m_properties.valid)
                break;
        } catch (const Exception &) {
            // The next reader may know the layout.
        }
    }
}

void AudioStream::addTag(AudioTag *tag, bool clean)
{
    if (!tag)
        return;
    m_tags.insert(tag->tagType(), tag);
    tagsChanged();
    tag->setParent(this);
    if (clean) {
        tag->normalizeItems();
        tag->removeEmptyItems();
        tag->removeDuplicates();
        tag->reorderArtists();
    }
}

AudioTag *AudioStream::tag(int tagType)
{
    const auto it = m_tags.constFind(tagType);
    if (it != m_tags.constEnd())
        return *it;
    auto *created = new AudioTag(this);
    m_tags.insert(tagType, created);
    tagsChanged();
    return created;
}

AudioTag *AudioStream::takeTag(int tagType)
{
    AudioTag *tag = m_tags.take(tagType);
    tagsChanged();
    if (!tag)
        return nullptr;
    if (std::find(m_tags.cbegin(), m_tags.cend(), tag) != m_tags.cend())
        return tag->clone();
    tag->setParent(nullptr);
    return tag;
}

void AudioStream::setTag(AudioTag *tag, int tagType)
{
    if (tag) {
        AudioTag *old = m_tags.value(tagType);
        // Storing the tag that is already there must not delete it.
        if (old && old != tag)
            delete old;
        tag->setParent(this);
        m_tags.insert(tagType, tag);
        tagsChanged();
        return;
    }
    if (tagType == 0) {
        QList<AudioTag *> stored = m_tags.values();
        m_tags.clear();
        tagsChanged();
        stored.removeAll(nullptr);
        // One tag may stand under two types; delete it once.
        std::sort(stored.begin(), stored.end());
        stored.erase(std::unique(stored.begin(), stored.end()), stored.end());
        qDeleteAll(stored);
        return;
    }
    const auto it = m_tags.find(tagType);
    if (it == m_tags.end())
        return;
    AudioTag *old = *it;
    m_tags.erase(it);
    tagsChanged();
    delete old;
}
