#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <cstddef>
#include <cstdint>

class AudioTag;
class IAudioStreamIo;
class ICodecIo;
class ITagIo;

// The round trips the fuzz targets drive. Bytes go in through a memory IoStream; a coded
// Exception is a fine answer to damaged bytes, and every tag that was read is rendered and
// read again. A tag whose items do not all come back, or a rendering that reads back as
// nothing, aborts the run so that libFuzzer keeps the input (MELO_FUZZ_LOSSES=report prints
// it and goes on).
namespace Fuzz {

QByteArray bytes(const uint8_t *data, size_t size);

// A tag format looked for at the start of the bytes (atStart) or ending at their end, read
// from its data area as the plain-stream tag stack does, or from its first byte (fromStart)
// as the containers read a Vorbis comment.
void tagIo(ITagIo *io, const QByteArray &bytes, bool atStart, bool fromStart = false);
// A whole file through a container or plain-stream reader: its tags and audio properties
// are read, then each tag is written back into a copy of the file and read again.
void streamIo(IAudioStreamIo *io, const QByteArray &bytes, ICodecIo *codec = nullptr);
// The audio properties of a codec header at the start of the bytes.
void codecIo(ICodecIo *io, const QByteArray &bytes);

// Aborts unless every non-empty item of before has an equal item in after.
void checkNothingLost(const AudioTag *before, const AudioTag *after, const char *what);

// Every target by name, as its folder under tests/fuzz/corpus/ is named. The libFuzzer
// executables and the corpus replay of the ordinary tests share these bodies.
using Target = void (*)(const QByteArray &bytes);
const QMap<QString, Target> &targets();
// Runs the named target on the input; aborts for a name without target.
void run(const char *name, const uint8_t *data, size_t size);
// Strict: every lost item aborts, whatever MELO_FUZZ_LOSSES says (the corpus replay).
void setStrict(bool strict);
// Whether the last input run gave a tag or audio properties: a seed that does not parse
// at all exercises nothing but the first check of its reader.
bool lastInputParsed();

} // namespace Fuzz

// A libFuzzer executable for the named target.
#define MELO_FUZZ_TARGET(name)                                                                  \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                     \
    {                                                                                           \
        Fuzz::run(#name, data, size);                                                           \
        return 0;                                                                               \
    }
