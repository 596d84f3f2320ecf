#pragma once

#include <QString>

#include "libcore/image/codedimage.h"

enum WebImageCacheTextId : quint32 {
    WebImageEmptyTextId = 2574731935u, // [url]
};

// Images fetched from the web, kept by URL within a byte budget for the whole process; the
// least recently used ones go first. Every call holds the cache's lock for its whole run,
// downloads included, so the lock order is always cache, then network or image-data pool.
class WebImageCache
{
public:
    WebImageCache() = delete;

    // The most bytes one image may have; a longer download fails.
    static constexpr qint64 MaximumImageSize = 8 * 1024 * 1024;

    // The cached image for the URL (exact text), else the one downloaded from it. Throws
    // what the download throws (also for an image over MaximumImageSize), or
    // WebImageEmptyTextId when it brings no bytes.
    static CodedImage image(const QString &url);
    static void clear();

    // Bytes of the encoded data held, and the budget for them (64 MiB at start).
    static int currentSize();
    static int maximumSize();
    // A negative size counts as 0; entries over the new budget go at once.
    static void setMaximumSize(int size);

    // The time in milliseconds that orders the entries, the wall clock unless a test sets
    // its own (null restores the wall clock); two calls within one millisecond tie.
    using Clock = qint64 (*)();
    static void setClock(Clock clock);
};
