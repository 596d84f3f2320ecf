#include "app/shell/tageditordockwidget.h"

#include <QStackedWidget>

#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/shell/appmainwindow.h"
#include "app/tageditors/tageditorwidget.h"
#include "libgui/icons/icons.h"
#include "libcore/text/formatting.h"
#include "libtagging/model/tagitem.h"

void applyDockEdit(TagEditorWidget *editor, OperationQueue *queue)
{
    QObject owner;
    if (!editor || !editor->isModified())
        return;
    auto *operation = new ModelUpdateOperation(editor->selection(), &owner);
    editor->applyTo(operation);
    queue->apply(operation);
}

TagEditorDockWidget::TagEditorDockWidget(int itemType, OperationQueue *operationQueue, QWidget *parent)
    : ExtDockWidget(parent), operationQueue(operationQueue)
{
    setWindowTitle(upperCaseFirst(TagItem::typeName(itemType)));
    setMinimumSize(100, 38);
    setFeatures(DockWidgetClosable | DockWidgetMovable);
    static const QIcon imageIcon = loadIcon(QStringLiteral("image"));
    static const QIcon editIcon = loadIcon(QStringLiteral("edit"));
    icon = itemType == TagItemType::Artwork ? imageIcon : editIcon;
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setObjectName(QString::fromLatin1(metaObject()->className()));
    auto *stack = new QStackedWidget(this);
    stack->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setWidget(stack);
    const int mode = TagEditorWidget::hasEditor(itemType, TagEditorWidget::DockMode) ? TagEditorWidget::DockMode
                                                                                      : TagEditorWidget::SingleValueMode;
    m_editor = TagEditorWidget::createEditor(itemType, mode, this);
    if (m_editor) {
        stack->addWidget(m_editor);
        connect(m_editor, &TagEditorWidget::editingFinished, this, &TagEditorDockWidget::onEditingFinished);
    }
}

void TagEditorDockWidget::setSelection(const AudioFileSelection &selection)
{
    if (m_editor)
        m_editor->setSelection(selection, -1, -1);
}

void TagEditorDockWidget::setVisible(bool visible)
{
    ExtDockWidget::setVisible(visible);
    updateMainWindowActions();
}

void TagEditorDockWidget::onEditingFinished(TagEditorWidget *finished)
{
    applyDockEdit(finished, operationQueue);
}
