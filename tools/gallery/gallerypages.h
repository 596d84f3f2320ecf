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

// The command bars, docks, setting editors, settings and wizard dialogs, date-time editor.
void renderSecondShare(Gallery &gallery);

// The tag editors in their states (one value, mixed, disabled, with details) and their dialogs.
void renderTagEditors(Gallery &gallery);
