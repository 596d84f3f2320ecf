#pragma once

#include "app/tagscript/namingpattern.h"

// How a music library names what it adds: a sub-folder path in front of the folder levels,
// the folder levels and the file name.
struct LibraryNamingSettings {
    QString subfolderPath;
    NamingPattern folder;
    NamingPattern file;

    // The script of the target folder: the sub-folder path and the folder levels joined
    // by single '/'.
    QString folderPatternText() const;
    // The script of the file name (the first level); null without a level.
    QString filePatternText() const;

    bool operator==(const LibraryNamingSettings &other) const = default;
};

void saveLibraryNamingSettings(const LibraryNamingSettings &settings, const QString &key);
LibraryNamingSettings loadLibraryNamingSettings(const QString &key);
