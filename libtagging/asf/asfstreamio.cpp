#include "libtagging/asf/asfstreamio.h"

#include "libtagging/model/unsupportedformat.h"

AsfStreamIo *AsfStreamIo::instance()
{
    static AsfStreamIo *const io = new AsfStreamIo();
    return io;
}

QList<AudioTag *> AsfStreamIo::readTags(IoStream *stream, const QList<int> &, const TaggingSettings *,
                                  QObject *)
{
    throwUnsupportedFormat(stream);
}

void AsfStreamIo::writeTags(IoStream *stream, const AudioTag *, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

void AsfStreamIo::removeTags(IoStream *stream, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

AudioProperties AsfStreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    throwUnsupportedFormat(stream);
}

QList<int> AsfStreamIo::supportedItemTypes() const
{
    return {};
}
