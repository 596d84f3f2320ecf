#pragma once

#include <QWidget>

#include "app/tagscript/namingpattern.h"

class AdvancedPatternEditorWidget;
class QRadioButton;
class SimplePatternEditorWidget;

enum CombinedPatternEditorTextId : quint32 {
    PatternSimpleModeTextId = 1008249073u,
    PatternAdvancedModeTextId = 3048756198u,
};

// A simple and an advanced pattern editor under two radio buttons; the checked one's
// pattern is the pattern.
class CombinedPatternEditorWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CombinedPatternEditorWidget(bool multiRow, QWidget *parent = nullptr);
    ~CombinedPatternEditorWidget() override;

    NamingPattern pattern() const;
    void setPattern(const NamingPattern &pattern);
    void setIndent(int pixels);
    void setIcon(const QIcon &icon);
    void addRow();

    QRadioButton *simpleRadioButton() const { return m_simpleRadioButton; }
    QRadioButton *advancedRadioButton() const { return m_advancedRadioButton; }
    SimplePatternEditorWidget *simpleEditor() const { return m_simpleEditor; }
    AdvancedPatternEditorWidget *advancedEditor() const { return m_advancedEditor; }

Q_SIGNALS:
    void patternChanged();

private Q_SLOTS:
    void updateGui();

private:
    QRadioButton *m_simpleRadioButton;
    QRadioButton *m_advancedRadioButton;
    SimplePatternEditorWidget *m_simpleEditor;
    AdvancedPatternEditorWidget *m_advancedEditor;
};
