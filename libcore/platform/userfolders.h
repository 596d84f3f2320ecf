#pragma once

#include <QString>
#include <QStringList>

// Where things live for the current user and the machine. Scope true is the current user,
// false the scope shared by all users. Folders come without a trailing slash.
QString homePath();
QString defaultMusicFolder();
QString configBaseDirectory(bool userScope);
// The base folder followed by "<organisation>/<application>"; callers append
// "config/settings.xml" or "log/".
QString applicationConfigDirectory(bool userScope);
QStringList drives();
QString bundleName(const QString &path);
void setCurrentDirectory(const QString &path);

// Shows the path in the desktop's file manager, selected where the file manager can do that.
// Returns whether a program could be started; what the file manager then does is not observed.
bool revealInFileManager(const QString &path);
