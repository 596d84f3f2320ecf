#pragma once

#include <QString>
#include <QStringList>

// The entries of a folder as QDir lists them by default ("." and ".." counted, hidden and
// system entries left out), shared by the files one thread reads in a batch. Loading a folder
// reads each of its files in turn, and every read looks at the files beside it; while a Scope
// lives on the thread, a folder is listed once and later reads in the batch take that listing.
// Without a Scope every call lists the folder anew, so a file added between two reads is
// always seen by the next one outside a batch. Only the last few folders are kept, so memory
// does not grow with the number of folders read.
class FolderListingCache
{
public:
    struct Listing
    {
        // Entries counted, up to the limit plus one.
        int count = 0;
        // Names of the entries; empty when the count passed the limit.
        QStringList names;
    };

    // Shares listings on the calling thread while it lives; nested scopes share the outer one.
    class Scope
    {
    public:
        Scope();
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        bool m_owner = false;
    };

    // Lists the folder, stopping once more than limit entries are seen; a folder that cannot
    // be listed has no entries.
    static Listing list(const QString &folder, int limit);
};
