#pragma once

#include <QList>

#include "app/tageditors/tageditorwidget.h"

// Decides row by row whether the selected files agree: agreed rows are edited directly,
// rows they disagree on show as mixed and are written to no file unless switched to editing.
class UniformTagEditorWidget : public TagEditorWidget
{
    Q_OBJECT
public:
    UniformTagEditorWidget(int itemType, int mode, QWidget *parent = nullptr);

    bool isRowEditing(int row) const { return rowEditing.value(row); }
    // Switches the row through toggleRowEditing when it is not in the wanted state.
    void setRowEditing(int row, bool editing);

protected:
    void updateGui() override;
    void insertRow(const TagItem *item, int row) override;
    void onRowRemoved(int row) override;
    bool isRowModified(AudioFile *file, int row) const override;
    virtual void toggleRowEditing(int row);

    QList<bool> rowEditing;
};
