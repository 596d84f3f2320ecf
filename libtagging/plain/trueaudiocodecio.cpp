#include "libtagging/plain/trueaudiocodecio.h"

#include "libtagging/model/unsupportedformat.h"

TrueAudioCodecIo *TrueAudioCodecIo::instance()
{
    static TrueAudioCodecIo *const io = new TrueAudioCodecIo();
    return io;
}

AudioProperties TrueAudioCodecIo::readAudioProperties(IoStream *stream, qint64)
{
    throwUnsupportedFormat(stream);
}
