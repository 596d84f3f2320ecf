#pragma once

#include <QtGlobal>

#include "libtagging/model/audioproperties.h"

class IoStream;

// Reads the audio properties of a codec header found between the tags of a plain stream.
class ICodecIo
{
public:
    // The stream stands at the first byte of audio data; throws Exception when the header
    // is not the codec's.
    virtual AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) = 0;

protected:
    virtual ~ICodecIo() = default;
};
