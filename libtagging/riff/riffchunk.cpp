#include "libtagging/riff/riffchunk.h"

namespace {

IffChunk *createRiffChunk(const QString &id, qint64 size, const QByteArray &data, bool loaded, qint64 offset,
                          QObject *parent)
{
    if (loaded)
        return new RiffChunk(id, size, data, offset, parent);
    return new RiffChunk(id, size, offset, parent);
}

} // namespace

const IffChunk::Format &RiffChunk::format()
{
    static const Format riff{
        {QStringLiteral("RIFF"), QStringLiteral("RIFX"), QStringLiteral("LIST")},
        {QStringLiteral("data"), QStringLiteral("JUNK"), QStringLiteral("PAD ")},
        ChunkTooLarge,
        WrongWritePosition,
        createRiffChunk,
    };
    return riff;
}
