#include "libcore/image/webimagecache.h"

#include <QDateTime>
#include <QMap>
#include <QMutexLocker>
#include <QRecursiveMutex>

#include "libcore/log/exception.h"
#include "libcore/net/network.h"

namespace {

struct Entry
{
    qint64 lastAccess = 0; // milliseconds since the epoch
    CodedImage image;
};

struct CacheState
{
    QRecursiveMutex mutex;
    QMap<QString, Entry> entries; // ascending URL order decides between equal times
    qint64 maximum = 64 * 1024 * 1024;
    qint64 held = 0;
    WebImageCache::Clock clock = nullptr;
};

CacheState &state()
{
    static CacheState s;
    return s;
}

qint64 now(const CacheState &s)
{
    return s.clock ? s.clock() : QDateTime::currentMSecsSinceEpoch();
}

void evict(CacheState &s)
{
    while (s.maximum < s.held && !s.entries.isEmpty()) {
        auto oldest = s.entries.begin();
        for (auto it = s.entries.begin(); it != s.entries.end(); ++it) {
            if (it->lastAccess < oldest->lastAccess)
                oldest = it;
        }
        s.held -= oldest->image.data.size();
        s.entries.erase(oldest);
    }
    CodedImage::releaseUnusedData();
}

} // namespace

CodedImage WebImageCache::image(const QString &url)
{
    CacheState &s = state();
    QMutexLocker lock(&s.mutex);
    auto it = s.entries.find(url);
    if (it != s.entries.end()) {
        it->lastAccess = now(s);
        return it->image;
    }
    const CodedImage image(downloadData(url, MaximumImageSize));
    if (image.data.isEmpty())
        throw Exception(WebImageEmptyTextId, {url}, false);
    s.held += image.data.size();
    s.entries.insert(url, Entry{now(s), image});
    evict(s);
    return image;
}

void WebImageCache::clear()
{
    CacheState &s = state();
    QMutexLocker lock(&s.mutex);
    s.entries.clear();
    s.held = 0;
    CodedImage::releaseUnusedData();
}

int WebImageCache::currentSize()
{
    CacheState &s = state();
    QMutexLocker lock(&s.mutex);
    return int(qMin<qint64>(s.held, INT_MAX));
}

int WebImageCache::maximumSize()
{
    CacheState &s = state();
    QMutexLocker lock(&s.mutex);
    return int(s.maximum);
}

void WebImageCache::setMaximumSize(int size)
{
    CacheState &s = state();
    QMutexLocker lock(&s.mutex);
    s.maximum = qMax(size, 0);
    evict(s);
}

void WebImageCache::setClock(Clock clock)
{
    CacheState &s = state();
    QMutexLocker lock(&s.mutex);
    s.clock = clock;
}
