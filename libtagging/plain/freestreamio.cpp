#include "libtagging/plain/freestreamio.h"

#include "libtagging/model/unsupportedformat.h"

FreeStreamIo *FreeStreamIo::instance()
{
    static FreeStreamIo *const io = new FreeStreamIo();
    return io;
}

QList<AudioTag *> FreeStreamIo::readTags(IoStream *stream, const QList<int> &, const TaggingSettings *,
                                  QObject *)
{
    throwUnsupportedFormat(stream);
}

void FreeStreamIo::writeTags(IoStream *stream, const AudioTag *, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

void FreeStreamIo::removeTags(IoStream *stream, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

AudioProperties FreeStreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    throwUnsupportedFormat(stream);
}

QList<int> FreeStreamIo::supportedItemTypes() const
{
    return {};
}
