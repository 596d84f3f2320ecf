#pragma once

#include <QByteArray>
#include <QString>

class TextCodec;

enum WholeFileTextId : quint32 {
    WholeFileSaveFailedTextId = 2619166359u,   // [path, reason] "cannot save %1: %2"
    WholeFileCreateFailedTextId = 1274860770u, // [path, reason] "cannot create %1: %2"
};

// Reading and writing a whole file in one call. Paths may name files inside the resource
// packages (":/...") for reading. Failures are the stream's coded exceptions.

QByteArray readFile(const QString &path);
// Decoded with the codec, or with the one detected from the bytes when it is null; every
// line ending becomes a line feed.
QString readTextFile(const QString &path, TextCodec *codec);
// Writes go to a temporary file beside the target that replaces it only once complete, so
// a failed write leaves the old file as it was. A missing folder is not created.
void writeFile(const QString &path, const QByteArray &bytes);
// Creates the file and writes the bytes, failing when anything (a link included) is already
// at the path, so that nothing there is ever replaced. A failed write removes what it made.
void writeNewFile(const QString &path, const QByteArray &bytes);
// With the codec's byte order mark and the platform's line endings.
void writeTextFile(const QString &path, const QString &text, TextCodec *codec);
