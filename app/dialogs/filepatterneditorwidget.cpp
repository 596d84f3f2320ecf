#include "app/dialogs/filepatterneditorwidget.h"

#include "libgui/icons/icons.h"

FilePatternEditorWidget::FilePatternEditorWidget(QWidget *parent) : CombinedPatternEditorWidget(false, parent)
{
    setIcon(loadIcon(QStringLiteral("audioFile")));
    addRow();
}

FilePatternEditorWidget::~FilePatternEditorWidget() = default;
