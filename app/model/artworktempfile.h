#pragma once

#include <QUrl>

class CodedImage;

// A file in the system's temporary folder that holds the image's bytes, for pasting artwork
// into other applications as a file: one file per image format, rewritten only when the
// bytes change. An empty URL when the file cannot be written (logged as a warning) or the
// image has no bytes.
QUrl artworkTempFileUrl(const CodedImage &image);

enum ArtworkTempFileTextId : quint32 {
    ArtworkTempFileNotWritten = 2683101409u, // [path]
};
