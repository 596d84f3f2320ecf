#include "libcore/util/checksum.h"

quint32 crc32(const QByteArray &bytes, quint32 initial, quint32 polynomial)
{
    quint32 crc = initial;
    for (const char c : bytes) {
        const quint8 byte = quint8(c);
        for (int bit = 7; bit >= 0; --bit) {
            const bool top = (crc & 0x80000000u) != 0;
            crc <<= 1;
            if ((((byte >> bit) & 1) != 0) != top)
                crc ^= polynomial;
        }
    }
    return crc;
}
