#include "libtagging/xiph/speexstreamio.h"

#include "libtagging/model/unsupportedformat.h"

SpeexStreamIo *SpeexStreamIo::instance()
{
    static SpeexStreamIo *const io = new SpeexStreamIo();
    return io;
}

QList<AudioTag *> SpeexStreamIo::readTags(IoStream *stream, const QList<int> &, const TaggingSettings *,
                                  QObject *)
{
    throwUnsupportedFormat(stream);
}

void SpeexStreamIo::writeTags(IoStream *stream, const AudioTag *, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

void SpeexStreamIo::removeTags(IoStream *stream, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

AudioProperties SpeexStreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    throwUnsupportedFormat(stream);
}

QList<int> SpeexStreamIo::supportedItemTypes() const
{
    return {};
}

QList<AudioTag *> SpeexStreamIo::readTags(IoStream *stream, const QList<QByteArray> &, const QList<int> &,
                                  const TaggingSettings *, QObject *)
{
    throwUnsupportedFormat(stream);
}

void SpeexStreamIo::writeTags(IoStream *stream, QList<QByteArray> &, const AudioTag *, const QList<int> &,
                      const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

void SpeexStreamIo::removeTags(IoStream *stream, QList<QByteArray> &, const QList<int> &,
                       const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

AudioProperties SpeexStreamIo::readAudioProperties(const QList<QByteArray> &, qint64, qint64)
{
    return AudioProperties();
}

QByteArray SpeexStreamIo::magic() const
{
    return QByteArray("Speex   ", 8);
}

bool SpeexStreamIo::isHeaderPage(int, const OggPage *) const
{
    return false;
}
