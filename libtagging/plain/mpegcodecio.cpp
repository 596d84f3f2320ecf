#include "libtagging/plain/mpegcodecio.h"

#include "libtagging/model/unsupportedformat.h"

MpegCodecIo *MpegCodecIo::instance()
{
    static MpegCodecIo *const io = new MpegCodecIo();
    return io;
}

AudioProperties MpegCodecIo::readAudioProperties(IoStream *stream, qint64)
{
    throwUnsupportedFormat(stream);
}
