#include "libtagging/asf/asftext.h"

#include "libcore/io/iostream.h"
#include "libcore/text/utf16letextcodec.h"

namespace AsfText {

QByteArray encode(const QString &text)
{
    IoStream stream(QIODevice::ReadWrite);
    stream.setWriteLineEnding(LineEnding::CrLf);
    stream.writeText(text, Utf16LeTextCodec::instance(), TextLengthPrefix::None, -1, -1, false, true);
    return stream.data();
}

QString read(IoStream *stream, qint64 maxBytes)
{
    const qint64 available = stream->size() - stream->pos();
    const qint64 bound = maxBytes < 0 ? available : qMin(maxBytes, available);
    return stream->readText(Utf16LeTextCodec::instance(), TextLengthPrefix::None, -1,
                            int(qMin<qint64>(bound, INT_MAX)), true);
}

QString decode(const QByteArray &bytes)
{
    IoStream stream(bytes, QIODevice::ReadOnly);
    return read(&stream);
}

} // namespace AsfText
