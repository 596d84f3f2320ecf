#pragma once

#include "app/dialogs/patterneditorwidget.h"

class ModelDataTypeComboBox;

// Each level a row of data type boxes: every chosen entry adds its script key as one part.
// Choosing a data type in a row's last box adds a " - " separator box and opens the next,
// empty box; dismissing that box takes the separator back.
class SimplePatternEditorWidget : public PatternEditorWidget
{
    Q_OBJECT
public:
    explicit SimplePatternEditorWidget(bool multiRow, QWidget *parent = nullptr);
    ~SimplePatternEditorWidget() override;

    bool validate() override;
    QWidget *createRowEditor(QBoxLayout *mainLayout, QBoxLayout *sideLayout) override;
    void removeRowEditor(int index) override;
    NamingPattern pattern() const override;
    void setPattern(const NamingPattern &pattern) override;

    // The boxes of each editable row, in display order.
    const QList<QList<ModelDataTypeComboBox *> *> &boxRows() const { return m_boxRows; }
    QLabel *hintIconLabel() const { return m_hintIconLabel; }
    QLabel *hintTextLabel() const { return m_hintTextLabel; }

private Q_SLOTS:
    void onComboBoxItemActivated();
    void onComboBoxPopupHidden();

private:
    ModelDataTypeComboBox *createComboBox();
    void updateComboBoxes();
    int appendSeparatorBox();
    int rowOfLastBox(QObject *box) const;

    QLabel *m_hintIconLabel = nullptr;
    QLabel *m_hintTextLabel = nullptr;
    QList<QList<ModelDataTypeComboBox *> *> m_boxRows;
    QList<QBoxLayout *> m_boxLayouts;
};
