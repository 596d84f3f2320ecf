#include "libtagging/riff/id3chunk.h"

#include "libcore/io/iostream.h"
#include "libtagging/id3/id3v2tagio.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"

AudioTag *Id3Chunk::read(const QByteArray &data, qint64 dataOffset, IoStream *file, const TaggingSettings *settings,
                         QObject *parent)
{
    IoStream buffer(data, QIODevice::ReadOnly);
    buffer.setName(file->name());
    QObject local;
    TagInfo *info = Id3v2TagIo::instance()->detect(&buffer, true, &local);
    if (!info)
        return nullptr;
    buffer.seek(info->values.value(TagInfo::DataOffsetKey).toLongLong());
    AudioTag *tag = Id3v2TagIo::instance()->read(&buffer, info, settings, parent);
    tag->tagInfo()->shiftOffsets(dataOffset);
    return tag;
}

bool Id3Chunk::holdsTag(const QByteArray &data, IoStream *file)
{
    IoStream buffer(data, QIODevice::ReadOnly);
    buffer.setName(file->name());
    QObject local;
    return Id3v2TagIo::instance()->detect(&buffer, true, &local) != nullptr;
}

QByteArray Id3Chunk::render(IoStream *file, const AudioTag *tag, int version, int textEncoding)
{
    TaggingSettings settings;
    settings.id3v2.version = version;
    settings.id3v2.textEncoding = textEncoding;
    settings.id3v2.useUnsync = false;
    settings.id3v2.preferredPaddingSize = 0;
    settings.id3v2.maximumPaddingSize = 1;
    settings.id3v2.availableSize = 0;
    IoStream buffer(QIODevice::ReadWrite);
    buffer.setName(file->name());
    Id3v2TagIo::instance()->render(&buffer, tag, &settings);
    return buffer.data();
}
