#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

class QProcess;

// Drive-type codes as callers know them from the Windows API.
enum DriveType : uint {
    DriveUnknown = 0,
    DriveNoRootDir = 1,
    DriveRemovable = 2,
    DriveFixed = 3,
    DriveRemote = 4,
    DriveCdRom = 5,
    DriveRamDisk = 6,
};

// Scope 0: the per-user configuration folder ($XDG_CONFIG_HOME, else ~/.config).
// Scope 1: the folder shared by all users (first entry of $XDG_CONFIG_DIRS, else /etc/xdg).
// Any other scope gives a null text.
QString specialFolderPath(int scope);

// The type of the file system that holds the path: the nearest existing folder above a
// path that does not exist yet decides, so a destination on a network mount counts as
// remote before it is created.
uint driveType(const QString &path);

// Starts a child process without system error dialogs (there are none to suppress here).
void startProcess(QProcess *process, const QString &program, const QStringList &arguments,
                  QIODevice::OpenMode mode = QIODevice::ReadWrite);

// A reverse-domain identifier such as "com.example.Tagger" from the prefix, or from the
// application's organisation domain or name, followed by the application name.
QString applicationBundleId(const QString &prefix = QString());

// Write a file's data, or a folder's entries, through to the disk.
void flushFile(const QString &path);
void flushDirectory(const QString &path);
