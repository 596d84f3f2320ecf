#pragma once

#include <QByteArray>

// Bitwise CRC-32, most significant bit first, no reflection and no final XOR. With the
// defaults this is the Ogg page checksum; the web-service keys use the same routine.
quint32 crc32(const QByteArray &bytes, quint32 initial = 0, quint32 polynomial = 0x04C11DB7u);
