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
    ByteBuilder &le64(quint64 value) { return le(value, 8); }
    ByteBuilder &be32(quint32 value) { return be(value, 4); }
    ByteBuilder &be64(quint64 value) { return be(value, 8); }
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

// One field alone, for tests that join fields with "+".
inline QByteArray le16(quint16 value) { return ByteBuilder().le16(value); }
inline QByteArray le32(quint32 value) { return ByteBuilder().le32(value); }
inline QByteArray le64(quint64 value) { return ByteBuilder().le64(value); }
inline QByteArray be16(quint16 value) { return ByteBuilder().be16(value); }
inline QByteArray be32(quint32 value) { return ByteBuilder().be32(value); }
inline QByteArray be64(quint64 value) { return ByteBuilder().be64(value); }
