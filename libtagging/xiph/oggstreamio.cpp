#include "libtagging/xiph/oggstreamio.h"

#include "libtagging/model/unsupportedformat.h"

OggStreamIo *OggStreamIo::instance()
{
    static OggStreamIo *const io = new OggStreamIo();
    return io;
}

QList<AudioTag *> OggStreamIo::readTags(IoStream *stream, const QList<int> &, const TaggingSettings *,
                                  QObject *)
{
    throwUnsupportedFormat(stream);
}

void OggStreamIo::writeTags(IoStream *stream, const AudioTag *, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

void OggStreamIo::removeTags(IoStream *stream, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

AudioProperties OggStreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    throwUnsupportedFormat(stream);
}

QList<int> OggStreamIo::supportedItemTypes() const
{
    return {};
}
