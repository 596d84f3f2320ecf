#include "libtagging/plain/monkeysaudiocodecio.h"

#include "libtagging/model/unsupportedformat.h"

MonkeysAudioCodecIo *MonkeysAudioCodecIo::instance()
{
    static MonkeysAudioCodecIo *const io = new MonkeysAudioCodecIo();
    return io;
}

AudioProperties MonkeysAudioCodecIo::readAudioProperties(IoStream *stream, qint64)
{
    throwUnsupportedFormat(stream);
}
