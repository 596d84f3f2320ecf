#pragma once

#include <QString>

enum LibraryFileTransferTextId : quint32 {
    TransferTargetExistsTextId = 0xf5e5f13bu,   // [native source, native target]
    TransferFailedTextId = 0x45480eb6u,         // [native source, native target, reason]
    TransferCopyDiffersTextId = 0x66e6d6cdu,    // [native source, native target]
    TransferSourceKeptTextId = 0xb4a9faa9u,     // [native source, native target, reason]
};

// Moving and copying one file into a library without ever losing it: the target is never
// replaced, a copy is written under a temporary name beside the target, read back and
// compared with the source before it takes the target's name, and a move across file systems
// deletes the source only after that check. A failure leaves the source as it was and no
// partial target behind, and throws a coded Exception.
class LibraryFileTransfer
{
public:
    static void moveFile(const QString &source, const QString &target);
    static void copyFile(const QString &source, const QString &target);
    // Whether the two files hold the same bytes; false when either cannot be read.
    static bool haveEqualContents(const QString &a, const QString &b);
    // The path itself when nothing stands there, else the first of "name (2).suffix",
    // "name (3).suffix" ... that is free.
    static QString freePath(const QString &path);
    // Whether anything, a broken link included, stands at the path.
    static bool entryExists(const QString &path);
};
