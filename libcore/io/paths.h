#pragma once

#include <QList>
#include <QString>

class CodePoint;

// The path vocabulary of the system. Paths use '/' as their only separator on every
// platform; native separators appear only where a path leaves the program. None of these
// functions throws or changes the caller's text.

bool isRootPath(QString path);
QString withTrailingSlash(QString path);
QString withoutTrailingSlash(QString path);
bool isAbsolutePath(QString path);
QString absolutePath(QString path);
QString rootPathOf(QString path);
QString parentPath(QString path);
QString parentFolderName(QString path);
QString relativePath(QString folder, QString path);
QString removeSuffix(QString path);
QString removeAllSuffixes(QString path);
QString fileName(QString path);
QString fromNativeSeparators(QString path);

bool pathExists(QString path);
bool isDirectory(QString path);
bool isReadable(QString path);
bool isExecutable(QString path);

// Code points never allowed inside a file name: U+0000..U+001F and / \ ? * : | " < >.
const QList<CodePoint> &invalidFileNameChars();
// One file-name component made safe: blanks trimmed at the start, blanks and dots at the
// end, invalid characters dropped. The result may be empty.
QString sanitizeFileName(QString name);
// Every component of a '/'-separated path made safe; the root and inner "." and ".." stay.
QString sanitizePath(QString path);
// The path without its "." and ".." components (white space around them included), for
// paths made from data that must stay inside the folder they are put under.
QString withoutDotComponents(QString path);
