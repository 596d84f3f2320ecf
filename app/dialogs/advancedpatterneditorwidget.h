#pragma once

#include "app/dialogs/patterneditorwidget.h"

class ContentAssistLineEdit;

// Each level one line of tag-script text, with completion of variables and functions.
class AdvancedPatternEditorWidget : public PatternEditorWidget
{
    Q_OBJECT
public:
    explicit AdvancedPatternEditorWidget(bool multiRow, QWidget *parent = nullptr);
    ~AdvancedPatternEditorWidget() override;

    bool validate() override;
    QWidget *createRowEditor(QBoxLayout *mainLayout, QBoxLayout *sideLayout) override;
    void removeRowEditor(int index) override;
    NamingPattern pattern() const override;
    void setPattern(const NamingPattern &pattern) override;

    const QList<ContentAssistLineEdit *> &lineEdits() const { return m_lineEdits; }

private:
    QList<ContentAssistLineEdit *> m_lineEdits;
};
