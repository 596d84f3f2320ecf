#pragma once

#include <QList>
#include <QPair>
#include <QStringList>
#include <QTableView>
#include <QVariant>

#include "app/model/modeldatatype.h"
#include "app/model/support_model.h"
#include "app/shell/headlessmainwindow.h"

class AudioFile;

// Texts, item types and the icons of the program and the toolkit.
void setUpDialogTests();

// The main window's services over a table view that is never shown, with files loaded as
// rows in the order given, each from (item type, value) pairs; the columns as asked.
struct DialogTable {
    AudioFileFactory factory;
    HeadlessMainWindow window;
    QTableView view;
    QList<AudioFile *> files;

    DialogTable(const QList<ModelDataType> &columns, const QList<QList<QPair<int, QVariant>>> &tags,
                const QStringList &paths = {});

    // Selects the cells (x column, y row rectangles, inclusive) in the view and in the
    // window's selection.
    void select(const QList<QRect> &rectangles);
    void selectAll();
    QVariant cell(int row, int column) const;
    QStringList texts(int itemType, int row) const;
    int undoCount() const;
};
