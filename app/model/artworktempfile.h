#pragma once

#include <QString>
#include <QUrl>

class CodedImage;

// A file that holds the image's bytes, for pasting artwork into other applications as a
// file: one file per image format, rewritten only when the bytes change. The files live in
// a folder of this process alone (mode 0700, made with a random name in the system's
// temporary folder, removed at exit), so other local users can neither read them nor plant
// links there, and two running instances never clobber each other's files. An empty URL
// when the file cannot be written (logged as a warning) or the image has no bytes.
QUrl artworkTempFileUrl(const CodedImage &image);

// The process's private folder of those files (made on first use); empty when it cannot
// be made.
QString artworkTempFolder();

enum ArtworkTempFileTextId : quint32 {
    ArtworkTempFileNotWritten = 2683101409u, // [path]
};
