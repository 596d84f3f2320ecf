#include "libtagging/plain/takcodecio.h"

#include "libtagging/model/unsupportedformat.h"

TakCodecIo *TakCodecIo::instance()
{
    static TakCodecIo *const io = new TakCodecIo();
    return io;
}

AudioProperties TakCodecIo::readAudioProperties(IoStream *stream, qint64)
{
    throwUnsupportedFormat(stream);
}
