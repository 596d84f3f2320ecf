#pragma once

#include <QStringList>

// What the preview of an addition shows; every path is relative to the library root.
struct AddToLibraryPreviewResult {
    // The targets of the placed files, then the audio files already in the touched folders
    // that stay.
    QStringList libraryPaths;
    QStringList relatedPaths;
    // The targets of placed and related files, then the folders that do not exist yet.
    QStringList newPaths;
    QStringList deletedPaths;
};
