#include "libtagging/plain/musepackcodecio.h"

#include "libtagging/model/unsupportedformat.h"

MusePackCodecIo *MusePackCodecIo::instance()
{
    static MusePackCodecIo *const io = new MusePackCodecIo();
    return io;
}

AudioProperties MusePackCodecIo::readAudioProperties(IoStream *stream, qint64)
{
    throwUnsupportedFormat(stream);
}
