#include "libtagging/aiff/aiffstreamio.h"

#include "libtagging/model/unsupportedformat.h"

AiffStreamIo *AiffStreamIo::instance()
{
    static AiffStreamIo *const io = new AiffStreamIo();
    return io;
}

QList<AudioTag *> AiffStreamIo::readTags(IoStream *stream, const QList<int> &, const TaggingSettings *,
                                  QObject *)
{
    throwUnsupportedFormat(stream);
}

void AiffStreamIo::writeTags(IoStream *stream, const AudioTag *, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

void AiffStreamIo::removeTags(IoStream *stream, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

AudioProperties AiffStreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    throwUnsupportedFormat(stream);
}

QList<int> AiffStreamIo::supportedItemTypes() const
{
    return {};
}
