#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

#include "app/model/support_model.h"
#include "app/shell/headlessmainwindow.h"

class AudioFile;

// Texts, the toolkit's and the application's icons and the default settings, as the
// program has them.
void loadDialogTestPackages();

// Real audio files in a temporary folder, loaded into a headless main window and selected.
struct LoadedFiles {
    LoadedFiles();

    QString folder() const { return factory.folder(); }
    QString path(const QString &relative) const { return factory.folder() + QLatin1Char('/') + relative; }
    // Loads a copy of the fixture at the relative path with a combined tag of the items.
    AudioFile *add(const QString &relative, const QList<QPair<int, QVariant>> &items);
    // Selects the file-name cell of every loaded file.
    void selectAll();
    // Every loaded file's path relative to the folder, sorted, " (missing)" where the disk
    // has no file there.
    QStringList table() const;
    // Every file below the folder, relative, sorted.
    QStringList disk() const;
    // Gives the file an unsaved title.
    void modify(AudioFile *file, const QString &title);

    AudioFileFactory factory;
    HeadlessMainWindow window;
};
