#pragma once

#include <QList>
#include <QMap>
#include <QVariant>

#include "libgui/dialogs/commondialog.h"

class QGridLayout;
class QToolButton;

enum TagEditorDetailsDialogTextId : quint32 {
    DescriptionDetailTextId = 1108716508u,
    LanguageDetailTextId = 3926957871u,
    PartialDetailsTextId = 428253558u, // [files with a value, selected files, item type name]
};

// One detail of the dialog: mixed (the files differ; input disabled) or editing.
struct DetailRow {
    int key = 0;
    QVariant value;
    bool enabled = true;
    QWidget *input = nullptr;
    QToolButton *editButton = nullptr;
    QToolButton *undoButton = nullptr;
};

// Edits the secondary fields of a tag value (description 0, language 1 as an ISO 639-2/T
// code) for all selected files at once; an invalid value in the map means the files differ.
class TagEditorDetailsDialog : public CommonDialog
{
    Q_OBJECT
public:
    enum DetailKey : int { DescriptionDetail = 0, LanguageDetail = 1 };

    TagEditorDetailsDialog(const QMap<int, QVariant> &details, int itemType, int filesWithValue, int fileCount,
                           QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~TagEditorDetailsDialog() override;

    // The details of the rows being edited; mixed rows are absent (each file keeps its own).
    QMap<int, QVariant> values() const;
    static QString detailLabel(int key);
    ValidationResult validate() override;

    const QList<DetailRow *> &detailRows() const { return rows; }

private Q_SLOTS:
    void onEditOrUndoButtonClicked();

private:
    void addRow(int key, const QString &label, QWidget *input);
    void setRowValue(int row, const QVariant &value, bool enabled, bool undoable);

    QList<DetailRow *> rows;
    QString infoText;
    QGridLayout *grid = nullptr;
};
