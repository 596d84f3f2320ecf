#include "libtagging/xiph/flacstreamio.h"

#include "libtagging/model/unsupportedformat.h"

FlacStreamIo *FlacStreamIo::instance()
{
    static FlacStreamIo *const io = new FlacStreamIo();
    return io;
}

QList<AudioTag *> FlacStreamIo::readTags(IoStream *stream, const QList<int> &, const TaggingSettings *,
                                  QObject *)
{
    throwUnsupportedFormat(stream);
}

void FlacStreamIo::writeTags(IoStream *stream, const AudioTag *, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

void FlacStreamIo::removeTags(IoStream *stream, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

AudioProperties FlacStreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    throwUnsupportedFormat(stream);
}

QList<int> FlacStreamIo::supportedItemTypes() const
{
    return {};
}

QList<AudioTag *> FlacStreamIo::readTags(IoStream *stream, const QList<QByteArray> &, const QList<int> &,
                                  const TaggingSettings *, QObject *)
{
    throwUnsupportedFormat(stream);
}

void FlacStreamIo::writeTags(IoStream *stream, QList<QByteArray> &, const AudioTag *, const QList<int> &,
                      const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

void FlacStreamIo::removeTags(IoStream *stream, QList<QByteArray> &, const QList<int> &,
                       const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

AudioProperties FlacStreamIo::readAudioProperties(const QList<QByteArray> &, qint64, qint64)
{
    return AudioProperties();
}

QByteArray FlacStreamIo::magic() const
{
    return QByteArray("\x7F" "FLAC", 5);
}

bool FlacStreamIo::isHeaderPage(int, const OggPage *) const
{
    return false;
}
