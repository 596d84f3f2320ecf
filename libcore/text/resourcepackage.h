#pragma once

#include <QString>
#include <QStringList>

// Mounts a compiled resource package (".rcc", looked for as given and beside the
// executable) under mountRoot (":/name"), loads its "text/text.xml" when it has one and
// re-applies the system language. Throws 868660387 [fileName] when it cannot be mounted.
void registerResourceFile(const QString &fileName, const QString &mountRoot);
// Mounts each package in order under ":/" and its base name; the first failure stops.
void registerResourceFiles(const QStringList &fileNames);
