#include "libtagging/xiph/oggcommentpacket.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/xiph/vorbiscommenttagio.h"

QList<AudioTag *> OggCommentPacket::read(IoStream *file, const QByteArray &packet, int commentOffset,
                                         const TaggingSettings *settings, QObject *parent)
{
    if (packet.size() < commentOffset)
        return {};
    QObject scratch;
    IoStream stream(packet, QIODevice::ReadOnly);
    stream.setName(file->name());
    stream.seek(commentOffset);
    TagInfo *info = VorbisCommentTagIo::instance()->detect(&stream, true, &scratch);
    if (!info)
        return {};
    AudioTag *tag = VorbisCommentTagIo::instance()->read(&stream, info, settings, parent);
    info->values.remove(TagInfo::OffsetKey);
    info->values.remove(TagInfo::DataOffsetKey);
    return {tag};
}

QString OggCommentPacket::vendor(IoStream *file, const QByteArray &packet, int commentOffset)
{
    if (packet.size() < commentOffset)
        return QString();
    IoStream stream(packet, QIODevice::ReadOnly);
    stream.setName(file->name());
    try {
        stream.seek(commentOffset);
        return VorbisCommentTagIo::instance()->readVendorString(&stream);
    } catch (Exception &) {
        return QString();
    }
}

QByteArray OggCommentPacket::render(IoStream *file, const AudioTag *tag, const VorbisCommentSettings &settings,
                                    const TaggingSettings *taggingSettings)
{
    IoStream stream(QIODevice::ReadWrite);
    stream.setName(file->name());
    const TaggingSettings &options = taggingSettings ? *taggingSettings : TaggingSettings::defaults();
    VorbisCommentTagIo::instance()->renderComment(&stream, tag, settings, options.multiArtistsInExtraField);
    return stream.data();
}

void OggCommentPacket::checkPacketCount(IoStream *file, const QList<QByteArray> &packets, int count)
{
    if (packets.size() < count)
        throw Exception(MissingHeaderPackets, {file->displayName(), int(packets.size()), count});
}

bool OggCommentPacket::handlesVorbisComments(const QList<int> &tagTypes)
{
    return tagTypes.isEmpty() || tagTypes.contains(TagType::VorbisComment);
}
