#include "libcore/io/folderlistingcache.h"

#include <memory>
#include <vector>

#include <QDirIterator>

namespace {

const std::size_t KeptFolders = 4;

struct CachedListing
{
    QString folder;
    int limit = 0;
    FolderListingCache::Listing listing;
};

// The listings of the active scope on this thread, newest last; null outside a scope.
thread_local std::unique_ptr<std::vector<CachedListing>> activeCache;

FolderListingCache::Listing listNow(const QString &folder, int limit)
{
    // QDir's default filter, so the count is QDir::count(); stopping past the limit spares
    // a file information record per entry of a large folder.
    FolderListingCache::Listing listing;
    QDirIterator entries(folder, QDir::AllEntries);
    while (entries.hasNext()) {
        listing.names.append(entries.nextFileInfo().fileName());
        if (++listing.count > limit) {
            listing.names.clear();
            break;
        }
    }
    return listing;
}

} // namespace

FolderListingCache::Scope::Scope()
{
    if (!activeCache) {
        activeCache = std::make_unique<std::vector<CachedListing>>();
        m_owner = true;
    }
}

FolderListingCache::Scope::~Scope()
{
    if (m_owner)
        activeCache.reset();
}

FolderListingCache::Listing FolderListingCache::list(const QString &folder, int limit)
{
    if (!activeCache)
        return listNow(folder, limit);
    std::vector<CachedListing> &cache = *activeCache;
    for (const CachedListing &cached : cache) {
        if (cached.limit == limit && cached.folder == folder)
            return cached.listing;
    }
    Listing listing = listNow(folder, limit);
    if (cache.size() >= KeptFolders)
        cache.erase(cache.begin());
    cache.push_back({folder, limit, listing});
    return listing;
}
