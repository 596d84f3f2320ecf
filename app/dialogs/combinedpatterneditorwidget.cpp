#include "app/dialogs/combinedpatterneditorwidget.h"

#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/advancedpatterneditorwidget.h"
#include "app/dialogs/simplepatterneditorwidget.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"

CombinedPatternEditorWidget::CombinedPatternEditorWidget(bool multiRow, QWidget *parent)
    : QWidget(parent),
      m_simpleRadioButton(new QRadioButton(upperCaseFirst(textForId(PatternSimpleModeTextId)), this)),
      m_advancedRadioButton(new QRadioButton(upperCaseFirst(textForId(PatternAdvancedModeTextId)), this)),
      m_simpleEditor(new SimplePatternEditorWidget(multiRow, this)),
      m_advancedEditor(new AdvancedPatternEditorWidget(multiRow, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_simpleRadioButton->setChecked(true);
    layout->addWidget(m_simpleRadioButton);
    layout->addWidget(m_advancedRadioButton);
    layout->addSpacing(14);
    layout->addWidget(m_simpleEditor);
    layout->addWidget(m_advancedEditor);
    connect(m_simpleRadioButton, &QRadioButton::clicked, this, &CombinedPatternEditorWidget::updateGui);
    connect(m_advancedRadioButton, &QRadioButton::clicked, this, &CombinedPatternEditorWidget::updateGui);
    connect(m_simpleEditor, &PatternEditorWidget::patternChanged, this, &CombinedPatternEditorWidget::patternChanged);
    connect(m_advancedEditor, &PatternEditorWidget::patternChanged, this, &CombinedPatternEditorWidget::patternChanged);
    updateGui();
}

CombinedPatternEditorWidget::~CombinedPatternEditorWidget() = default;

void CombinedPatternEditorWidget::updateGui()
{
    setUpdatesEnabled(false);
    m_simpleEditor->setVisible(m_simpleRadioButton->isChecked());
    m_advancedEditor->setVisible(m_advancedRadioButton->isChecked());
    setUpdatesEnabled(true);
    Q_EMIT patternChanged();
}

NamingPattern CombinedPatternEditorWidget::pattern() const
{
    if (m_simpleRadioButton->isChecked())
        return m_simpleEditor->pattern();
    if (m_advancedRadioButton->isChecked())
        return m_advancedEditor->pattern();
    return NamingPattern();
}

void CombinedPatternEditorWidget::setPattern(const NamingPattern &pattern)
{
    m_simpleEditor->setPattern(pattern);
    m_advancedEditor->setPattern(pattern);
    if (pattern.isSimple)
        m_simpleRadioButton->setChecked(true);
    else
        m_advancedRadioButton->setChecked(true);
    updateGui();
}

void CombinedPatternEditorWidget::setIndent(int pixels)
{
    m_simpleEditor->setIndent(pixels);
    m_advancedEditor->setIndent(pixels);
}

void CombinedPatternEditorWidget::setIcon(const QIcon &icon)
{
    m_simpleEditor->setIcon(icon);
    m_advancedEditor->setIcon(icon);
}

void CombinedPatternEditorWidget::addRow()
{
    m_simpleEditor->addRow();
    m_advancedEditor->addRow();
}
