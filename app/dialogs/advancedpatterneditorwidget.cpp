#include "app/dialogs/advancedpatterneditorwidget.h"

#include <QBoxLayout>
#include <QToolTip>

#include "app/dialogs/tagscriptpopup.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/edits/contentassistlineedit.h"

AdvancedPatternEditorWidget::AdvancedPatternEditorWidget(bool multiRow, QWidget *parent)
    : PatternEditorWidget(multiRow, parent)
{
}

AdvancedPatternEditorWidget::~AdvancedPatternEditorWidget() = default;

QWidget *AdvancedPatternEditorWidget::createRowEditor(QBoxLayout *mainLayout, QBoxLayout *sideLayout)
{
    Q_UNUSED(sideLayout)
    auto *edit = new ContentAssistLineEdit;
    // The row is aligned left and would shrink the edit to its small default width.
    edit->setMinimumWidth(300);
    mainLayout->addWidget(edit);
    m_lineEdits.append(edit);
    edit->setInactiveText(upperCaseFirst(textForId(PatternEnterScriptTextId)));
    edit->setContentAssistPopup(new TagScriptPopup(0));
    edit->setAssistOnEdit(true);
    connect(edit, &QLineEdit::textChanged, this, &PatternEditorWidget::patternChanged);
    return edit;
}

bool AdvancedPatternEditorWidget::validate()
{
    if (m_lineEdits.isEmpty() || !m_lineEdits.last()->text().trimmed().isEmpty())
        return true;
    ContentAssistLineEdit *edit = m_lineEdits.last();
    edit->setFocus(Qt::OtherFocusReason);
    QToolTip::showText(edit->mapToGlobal(QPoint(0, 0)), upperCaseFirst(textForId(PatternEnterScriptTextId)), edit);
    return false;
}

NamingPattern AdvancedPatternEditorWidget::pattern() const
{
    NamingPattern result;
    result.isSimple = false;
    for (const ContentAssistLineEdit *edit : m_lineEdits) {
        if (!edit->text().trimmed().isEmpty())
            result.levels.append(QStringList{edit->text()});
    }
    return result;
}

void AdvancedPatternEditorWidget::setPattern(const NamingPattern &pattern)
{
    {
        const QSignalBlocker blocker(this);
        setRowCount(int(pattern.levels.size()));
        for (int i = 0; i < m_lineEdits.size() && i < pattern.levels.size(); ++i)
            m_lineEdits.at(i)->setText(pattern.levels.at(i).join(QString()));
    }
    Q_EMIT patternChanged();
}

void AdvancedPatternEditorWidget::removeRowEditor(int index)
{
    if (index >= 0 && index < m_lineEdits.size())
        m_lineEdits.removeAt(index);
}
