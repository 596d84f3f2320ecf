#pragma once

#include <QByteArray>
#include <QString>

class IoStream;

// Texts of ASF names and values: UTF-16LE without a byte order mark, ended by a 16-bit NUL,
// CR LF line ends in the file and LF in memory.
namespace AsfText {
// The text with its NUL; an empty text gives just the NUL.
QByteArray encode(const QString &text);
// The text from the stream's position up to the first NUL (read and skipped) or to
// maxBytes (-1: the end of the stream).
QString read(IoStream *stream, qint64 maxBytes = -1);
// The text of bytes up to the first NUL.
QString decode(const QByteArray &bytes);
} // namespace AsfText
