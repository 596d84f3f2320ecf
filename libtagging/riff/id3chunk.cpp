#include "libtagging/riff/id3chunk.h"

// Interim: the ID3v2 reader and writer are not there yet; chunks holding ID3v2 tags are
// left as they are and no new one is written.

AudioTag *Id3Chunk::read(const QByteArray &, qint64, IoStream *, const TaggingSettings *, QObject *)
{
    return nullptr;
}

bool Id3Chunk::holdsTag(const QByteArray &, IoStream *)
{
    return false;
}

QByteArray Id3Chunk::render(IoStream *, const AudioTag *, int, int)
{
    return {};
}
