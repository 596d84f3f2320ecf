#pragma once

#include <QIcon>
#include <QList>
#include <QWidget>

#include "app/tagscript/namingpattern.h"

class QBoxLayout;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QSpacerItem;

enum PatternEditorTextId : quint32 {
    PatternAddLevelTextId = 2644101860u,
    PatternRemoveLevelTextId = 3759774485u,
    PatternChooseDataTypeTextId = 3369247242u,
    PatternEnterScriptTextId = 1448070424u,
};

// One row of a pattern editor: a grid row with the row's input widgets in column 0 (after
// the indent and the icon) and its buttons in column 1.
struct PatternEditorRow {
    int gridRow = -1;
    // Caller-supplied widgets that are no part of the pattern (the root folder).
    bool fixed = false;
    QHBoxLayout *mainLayout = nullptr;
    QSpacerItem *indentSpacer = nullptr;
    QLabel *iconLabel = nullptr;
    QHBoxLayout *sideLayout = nullptr;
};

// The rows of a naming pattern's levels, one editor row per level, with add and remove
// buttons when more than one level is allowed. Subclasses put their input widgets into
// each row.
class PatternEditorWidget : public QWidget
{
    Q_OBJECT
public:
    explicit PatternEditorWidget(bool multiRow, QWidget *parent = nullptr);
    ~PatternEditorWidget() override;

    // Appends an editable row; returns the widget to focus, or null when refused.
    QWidget *addRow();
    void addFixedRow(QWidget *first, const QList<QWidget *> &others);
    void removeRow(int row);
    QWidget *setRowCount(int count);
    void setIndent(int pixels);
    void setIcon(const QIcon &icon);
    int rowCount() const { return int(m_rows.size()); }
    bool isMultiRow() const { return m_multiRow; }

    // Whether another row may be added; shows why not.
    virtual bool validate() = 0;
    virtual QWidget *createRowEditor(QBoxLayout *mainLayout, QBoxLayout *sideLayout) = 0;
    // index counts the editable rows only.
    virtual void removeRowEditor(int index) = 0;
    virtual NamingPattern pattern() const = 0;
    virtual void setPattern(const NamingPattern &pattern) = 0;

Q_SIGNALS:
    void patternChanged();

private Q_SLOTS:
    void onAddButtonClicked();
    void onRemoveButtonClicked();

protected:
    void conceal(bool on);
    int editableRowCount() const;

private:
    PatternEditorRow *createRow(bool fixed);
    void updateRows();

    QGridLayout *m_grid;
    QList<PatternEditorRow *> m_rows;
    bool m_multiRow;
    int m_indent = 0;
    QIcon m_icon;
};
