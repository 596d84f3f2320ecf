#pragma once

#include <QList>
#include <QMap>
#include <QVariant>

#include "app/tageditors/uniformtageditorwidget.h"

class QBoxLayout;
class QLabel;
class QToolButton;

enum LineTagEditorWidgetTextId : quint32 {
    EditRowTextId = 252363523u,        // [item type name]
    UndoRowTextId = 1811314722u,       // [item type name]
    AddRowTextId = 3076244148u,        // [item type name]
    RemoveRowTextId = 3094591707u,     // [item type name]
    RowDetailsTextId = 427474667u,     // [item type name]
    FillEmptyRowFirstTextId = 481137999u, // [item type name]
};

// The widgets of one value row of a line editor.
struct LineEditorRow {
    QWidget *input = nullptr;
    QBoxLayout *buttonLayout = nullptr;
    QToolButton *editButton = nullptr;
    QToolButton *undoButton = nullptr;
    QToolButton *detailButton = nullptr; // none inside the table
    QToolButton *removeButton = nullptr; // rows after the first in modes 3 and 4
    QList<QWidget *> inputButtons;
    QLabel *label = nullptr;
    bool inputEmpty = true;
    // The user changed the input (or opened the row, or added it) since it was loaded: only
    // such rows are written, so a row merely shown never rewrites the files' values.
    bool changed = false;
};

// One input widget per value row (made by the subclass) with a column of tool buttons:
// edit and undo for mixed rows, add or remove in the multi-value modes, details, and the
// subclass's own; per-row detail values are chosen in TagEditorDetailsDialog.
class LineTagEditorWidget : public UniformTagEditorWidget
{
    Q_OBJECT
public:
    LineTagEditorWidget(int itemType, int mode, QWidget *parent = nullptr);
    ~LineTagEditorWidget() override;

    int rowWidgetCount() const { return int(rows.size()); }
    const LineEditorRow *rowWidgets(int row) const { return rows.value(row); }
    QToolButton *rowAddButton() const { return addButton; }

    void setDetailsVisible(bool visible);
    int buttonColumnWidth() const;
    void setButtonColumnWidth(int width);

private Q_SLOTS:
    void onAddButtonClicked();
    void onEditOrUndoButtonClicked();
    void onDetailButtonClicked();
    void onRemoveButtonClicked();

protected Q_SLOTS:
    void onInputChanged();
    void onReturnPressed();

protected:
    void updateGui() override;
    void insertRow(const TagItem *item, int row) override;
    void onRowRemoved(int row) override;
    void readInputValues() override;
    bool isRowModified(AudioFile *file, int row) const override;
    bool isRowEmpty(AudioFile *file, int row) const override;
    void writeRow(TagItem *item, AudioFile *file, int row) override;
    void finishEditing(QEvent *event) override;
    void toggleRowEditing(int row) override;

    virtual QWidget *createInputWidget(QWidget *parent) = 0;
    virtual QList<QWidget *> createInputButtons(QWidget *input, QWidget *parent);
    virtual void setInputItems(QWidget *input, const QList<TagItem *> &items, bool uniform) = 0;
    virtual bool isInputEmpty(QWidget *input) const = 0;
    virtual void writeInput(TagItem *item, QWidget *input) = 0;
    virtual QList<int> detailFields() const;
    virtual QVariant detailValue(const TagItem *item, int field) const;
    virtual void setDetailValue(TagItem *item, int field, const QVariant &value);

    void createRow();
    void removeRowWidgets(int row);
    int rowOfSender(QObject *sender) const;
    void ensureRowVisible(int row);
    QString rowToolTip(quint32 textId) const;
    // Fills the input without counting it as the user's change.
    void loadInput(int row, bool enabled, bool fill, bool uniform);

    QToolButton *addButton = nullptr;
    QList<LineEditorRow *> rows;
    bool detailsVisible = false;
    QMap<int, QMap<int, QVariant>> pendingDetails;

private:
    int loading = 0;
};
