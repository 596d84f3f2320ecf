#include "libtagging/aiff/aiffchunk.h"

namespace {

IffChunk *createAiffChunk(const QString &id, qint64 size, const QByteArray &data, bool loaded, qint64 offset,
                          QObject *parent)
{
    if (loaded)
        return new AiffChunk(id, size, data, offset, parent);
    return new AiffChunk(id, size, offset, parent);
}

} // namespace

const IffChunk::Format &AiffChunk::format()
{
    static const Format aiff{
        {QStringLiteral("FORM")},
        {QStringLiteral("SSND")},
        ChunkTooLarge,
        WrongWritePosition,
        createAiffChunk,
    };
    return aiff;
}
