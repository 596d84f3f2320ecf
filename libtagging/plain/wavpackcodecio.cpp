#include "libtagging/plain/wavpackcodecio.h"

#include "libtagging/model/unsupportedformat.h"

WavPackCodecIo *WavPackCodecIo::instance()
{
    static WavPackCodecIo *const io = new WavPackCodecIo();
    return io;
}

AudioProperties WavPackCodecIo::readAudioProperties(IoStream *stream, qint64)
{
    throwUnsupportedFormat(stream);
}
