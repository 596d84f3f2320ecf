#pragma once

#include <QByteArray>

// Views point into the source's memory without copying: they are valid only while the
// source lives unchanged. Writing to a view detaches it (copy on write).

// The first n bytes: null when n <= 0 or the source is empty, the source itself (shared,
// not a view) when n covers it all.
QByteArray leftBytesView(const QByteArray &bytes, qsizetype n);

// The bytes from position on; a negative position counts as 0, a negative length or one
// past the end runs to the end. Always a view (null when nothing is left).
QByteArray midBytesView(const QByteArray &bytes, qsizetype position, qsizetype length = -1);

// True when the array is empty or all its bytes are 0.
bool isZeroFilled(const QByteArray &bytes);
