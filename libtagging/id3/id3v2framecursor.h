#pragma once

#include <QByteArray>
#include <QString>

class IoStream;
class TextCodec;

// Reads one unpacked frame's bytes front to back for the content handlers, without a stream
// per frame. A read past the end fails exactly as a memory IoStream named like the frame
// would (that stream is built only then), so a frame too short for its layout is reported
// and recovered as before.
class Id3v2FrameCursor
{
public:
    // nameSource gives the frame its name (the audio file's path), asked only when needed.
    Id3v2FrameCursor(const QByteArray &data, const IoStream *nameSource, qsizetype position = 0);

    const QByteArray &data() const { return m_data; }
    qsizetype size() const { return m_data.size(); }
    qsizetype pos() const { return m_pos; }
    qsizetype bytesLeft() const { return m_data.size() - m_pos; }
    QString name() const;

    uchar readByte();
    QByteArray readBytes(qsizetype n);
    // The rest of the frame.
    QByteArray readAll();
    // n bytes (none past the end) as one unsigned big-endian number.
    quint64 readBigEndian(int n);
    // A terminated string of the codec; a null codec: up to a zero byte, encoding guessed.
    // Without a terminator the string runs to the end of the frame.
    QString readString(TextCodec *codec);
    // The bytes up to a zero byte, which is consumed and left out; all that is left when
    // there is none.
    QByteArray readTerminatedBytes();
    // Exactly n bytes as US-ASCII.
    QString readFixed(int n);

private:
    QByteArray m_data;
    const IoStream *m_nameSource;
    qsizetype m_pos;
};
