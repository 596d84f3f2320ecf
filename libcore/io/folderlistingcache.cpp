#include "libcore/io/folderlistingcache.h"

#include <memory>
#include <vector>

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

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

// Whether QDir's default filter lists the entry: "." and "..", no hidden names, and no
// system entries (devices, pipes, sockets, broken links); links count as what they point to.
bool listedByDefault(DIR *dir, const dirent *entry)
{
    const char *name = entry->d_name;
    if (name[0] == '.')
        return name[1] == '\0' || (name[1] == '.' && name[2] == '\0');
    unsigned char type = entry->d_type;
    struct stat info;
    if (type == DT_UNKNOWN) {
        if (fstatat(dirfd(dir), name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        type = S_ISLNK(info.st_mode) ? DT_LNK : S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (type == DT_LNK)
        return fstatat(dirfd(dir), name, &info, 0) == 0;
    return type == DT_REG || type == DT_DIR;
}

FolderListingCache::Listing listNow(const QString &folder, int limit)
{
    // Straight from the system: a file information record per entry costs more than the
    // rest of reading a small file's tags.
    FolderListingCache::Listing listing;
    DIR *dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return listing;
    while (const dirent *entry = readdir(dir)) {
        if (!listedByDefault(dir, entry))
            continue;
        listing.names.append(QFile::decodeName(entry->d_name));
        if (++listing.count > limit) {
            listing.names.clear();
            break;
        }
    }
    closedir(dir);
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
