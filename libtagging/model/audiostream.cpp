#include "libtagging/model/audiostream.h"

#include <algorithm>

#include "libcore/io/iostream.h"
#include "libcore/log/logger.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/filetype.h"

namespace {
const quint32 NoFileType = 20123655u;
}

AudioStream::AudioStream(IoStream *stream, QObject *parent) : QObject(parent), m_stream(stream)
{
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

void AudioStream::addTag(AudioTag *tag, bool clean)
{
    if (!tag)
        return;
    m_tags.insert(tag->tagType(), tag);
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
    return created;
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
        return;
    }
    if (tagType == 0) {
        QList<AudioTag *> stored = m_tags.values();
        m_tags.clear();
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
    delete old;
}
