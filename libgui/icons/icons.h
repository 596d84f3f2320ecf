#pragma once

#include <QIcon>
#include <QSize>
#include <QString>
#include <QStringList>

enum IconTextId : quint32 {
    IconMissingWarningId = 2608788003u, // [name]
};

// Icons by name. An icon is a folder named after it below one of the icon roots; each file
// in it is one size of the icon ("16.png", "24.png" ...). A platform subfolder "win", "mac"
// or "unix" replaces the folder when it exists. GUI thread only.

// The roots, searched in order; the application appends its own before the first icon.
QStringList &iconRootDirectories();

// The folder of the named icon in the first root that has it; a null text when none has.
QString findIconDirectory(const QString &name);

// Every size the icon's folder holds; loaded once per name (a missing icon too, which is
// reported once as a warning and stays null).
QIcon loadIcon(const QString &name);

// "data:image/png;base64,..." of the icon rendered at size by size; null for a null pixmap.
QString iconDataUrl(const QIcon &icon, int size);

// The icon's "<size>.png" file when its folder has one, else the data URL of the icon
// rendered at that size.
QString iconUrl(const QString &name, int size);

// The edge length of tool bar and view icons, fixed at first use from the primary screen.
int &defaultIconSize();
// 32 on screens wider than 1920 and higher than 1080 pixels, otherwise 24.
int defaultIconSizeForScreen(const QSize &screen);

// The style's message box icon for a log level (information, warning, critical, question);
// a null icon for any other level.
QIcon standardMessageIcon(int level);
