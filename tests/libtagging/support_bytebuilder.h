#pragma once

#include <QByteArray>
#include <QtEndian>

// Appends header fields to a byte array, so a test shows the bytes that matter.
class ByteBuilder
{
public:
    ByteBuilder &ascii(const char *text)
    {
        bytes += QByteArray(text);
        return *this;
    }
    ByteBuilder &raw(const QByteArray &data)
    {
        bytes += data;
        return *this;
    }
    ByteBuilder &u8(quint8 value)
    {
        bytes += char(value);
        return *this;
    }
    ByteBuilder &le16(quint16 value) { return le(value, 2); }
    ByteBuilder &le24(quint32 value) { return le(value, 3); }
    ByteBuilder &le32(quint32 value) { return le(value, 4); }
    ByteBuilder &be16(quint16 value) { return be(value, 2); }
    ByteBuilder &be32(quint32 value) { return be(value, 4); }
    ByteBuilder &zeros(qsizetype count) { return fill(0, count); }
    ByteBuilder &fill(char value, qsizetype count)
    {
        bytes += QByteArray(count, value);
        return *this;
    }
    // Zero bytes up to a total size.
    ByteBuilder &padTo(qsizetype size)
    {
        if (bytes.size() < size)
            bytes += QByteArray(size - bytes.size(), '\0');
        return *this;
    }
    qsizetype size() const { return bytes.size(); }
    operator QByteArray() const { return bytes; }

    QByteArray bytes;

private:
    ByteBuilder &le(quint64 value, int count)
    {
        for (int i = 0; i < count; ++i)
            bytes += char(value >> (8 * i));
        return *this;
    }
    ByteBuilder &be(quint64 value, int count)
    {
        for (int i = count - 1; i >= 0; --i)
            bytes += char(value >> (8 * i));
        return *this;
    }
};
