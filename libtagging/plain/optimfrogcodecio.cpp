#include "libtagging/plain/optimfrogcodecio.h"

#include "libtagging/model/unsupportedformat.h"

OptimFrogCodecIo *OptimFrogCodecIo::instance()
{
    static OptimFrogCodecIo *const io = new OptimFrogCodecIo();
    return io;
}

AudioProperties OptimFrogCodecIo::readAudioProperties(IoStream *stream, qint64)
{
    throwUnsupportedFormat(stream);
}
