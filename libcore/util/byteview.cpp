#include "libcore/util/byteview.h"

#include <algorithm>

QByteArray leftBytesView(const QByteArray &bytes, qsizetype n)
{
    if (n <= 0 || bytes.isEmpty())
        return QByteArray();
    if (n >= bytes.size())
        return bytes;
    return QByteArray::fromRawData(bytes.constData(), n);
}

QByteArray midBytesView(const QByteArray &bytes, qsizetype position, qsizetype length)
{
    if (length == 0)
        return QByteArray();
    position = std::max<qsizetype>(position, 0);
    if (position >= bytes.size())
        return QByteArray();
    const qsizetype available = bytes.size() - position;
    if (length < 0 || length > available)
        length = available;
    return QByteArray::fromRawData(bytes.constData() + position, length);
}

bool isZeroFilled(const QByteArray &bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return c == 0; });
}
