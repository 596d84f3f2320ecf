#include "app/shell/multitageditordockwidget.h"

#include "app/shell/tageditordockwidget.h"
#include "app/operations/operationqueue.h"
#include "app/shell/appmainwindow.h"
#include "app/shell/shelltextids.h"
#include "app/tageditors/multitageditorwidget.h"
#include "app/tageditors/tageditorwidget.h"
#include "libgui/icons/icons.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"

namespace {
constexpr int GeneralCategory = 0;
constexpr int DetailsCategory = 1;
} // namespace

MultiTagEditorDockWidget::MultiTagEditorDockWidget(OperationQueue *operationQueue, QWidget *parent)
    : ExtDockWidget(parent), operationQueue(operationQueue)
{
    setWindowTitle(upperCaseFirst(textForId(MultiTagEditorDockTitleTextId)));
    setMinimumSize(100, 38);
    setFeatures(DockWidgetClosable | DockWidgetMovable);
    static const QIcon titleIcon = loadIcon(QStringLiteral("editTag"));
    icon = titleIcon;
    setObjectName(QString::fromLatin1(metaObject()->className()));
    editor = new MultiTagEditorWidget(this);
    setWidget(editor);
    editor->addCategory(GeneralCategory);
    editor->addCategory(DetailsCategory);
    connect(editor, &MultiTagEditorWidget::editingFinished, this, &MultiTagEditorDockWidget::onEditingFinished);
}

void MultiTagEditorDockWidget::setSelection(const AudioFileSelection &selection)
{
    editor->setSelection(selection);
}

void MultiTagEditorDockWidget::setVisible(bool visible)
{
    ExtDockWidget::setVisible(visible);
    updateMainWindowActions();
}

void MultiTagEditorDockWidget::onEditingFinished(TagEditorWidget *finished)
{
    applyDockEdit(finished, operationQueue);
}
