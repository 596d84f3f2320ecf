#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Where the pictures go, and what went wrong while taking them.
struct Gallery {
    explicit Gallery(const QString &dir) : dir(dir) {}

    // Shows the widget as a window of its own (unless it is one already shown), lets layouts
    // settle, saves its picture as <name>.png and deletes the widget.
    void save(const QString &name, QWidget *widget);
    // The same without deleting: for widgets shown in several states.
    void snap(const QString &name, QWidget *widget);

    QString dir;
    QStringList failures;
    int written = 0;
};

void renderGalleryPages(Gallery &gallery);

// Mounts the tagging library's and the application's packages (once), English texts, the tag
// item types and the application's icons, for the pictures of the application's widgets. False,
// with a failure noted for `what`, when a package cannot be mounted.
bool mountApplicationPackages(Gallery &gallery, const QString &what);

// The command bars, docks, setting editors, settings and wizard dialogs, date-time editor.
void renderCommandsAndSettings(Gallery &gallery);

// The tag editors in their states (one value, mixed, disabled, with details) and their dialogs.
void renderTagEditors(Gallery &gallery);

// The naming dialogs: pattern editors, popups, data type pickers, preview, rename, copy and move.
void renderNaming(Gallery &gallery);

// The text dialogs: find and replace, the file tagger, text insertion, overwriting and removal.
void renderTextDialogs(Gallery &gallery);
