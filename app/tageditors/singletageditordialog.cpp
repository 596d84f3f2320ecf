#include "app/tageditors/singletageditordialog.h"

#include <memory>

#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/tageditors/linetageditorwidget.h"
#include "app/tageditors/uniformtageditorwidget.h"
#include "libgui/icons/icons.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libtagging/model/tagitem.h"

namespace {
constexpr int MinimumEditorChars = 50;
}

SingleTagEditorDialog::SingleTagEditorDialog(int itemType, int mode, const AudioFileSelection &selection,
                                             OperationQueue *queue, QWidget *parent, Qt::WindowFlags flags)
    : CommonDialog(parent, flags), queue(queue)
{
    TagEditorWidget *created = TagEditorWidget::createEditor(itemType, mode, this);
    if (!created)
        return;
    created->setSelection(selection, -1, -1);
    setEditor(created);
}

SingleTagEditorDialog::SingleTagEditorDialog(TagEditorWidget *editor, OperationQueue *queue, QWidget *parent,
                                             Qt::WindowFlags flags)
    : CommonDialog(parent, flags), queue(queue)
{
    if (editor)
        setEditor(editor);
}

void SingleTagEditorDialog::setEditor(TagEditorWidget *tagEditor)
{
    editor = tagEditor;
    editor->setParent(this);
    const int type = editor->itemType();
    static const QIcon imageIcon = loadIcon(QStringLiteral("image"));
    static const QIcon editIcon = loadIcon(QStringLiteral("edit"));
    setWindowIcon(type == TagItemType::Artwork ? imageIcon : editIcon);
    setWindowTitle(upperCaseFirst(textForId(EditRowTextId).arg(TagItem::typeName(type))));
    // Wide enough for a typical value; the fixed dialog would otherwise shrink to the inputs' hints.
    editor->setMinimumWidth(qMax(editor->minimumSizeHint().width(), fontMetrics().averageCharWidth() * MinimumEditorChars));
    setSizeFixed(true);
    setContentWidget(editor);
    setOuterMargins(type != TagItemType::Lyrics && type != TagItemType::Artwork
                    && type != TagItemType::SynchronizedLyrics);
    if (auto *uniform = qobject_cast<UniformTagEditorWidget *>(editor); uniform && uniform->rowCount() > 0)
        uniform->setRowEditing(0, true);
    editor->setFocus(Qt::OtherFocusReason);
}

void SingleTagEditorDialog::accept()
{
    QDialog::accept();
    if (!editor || !queue)
        return;
    try {
        if (!editor->isModified())
            return;
        // Owned here until the queue takes it, so nothing leaks on the way.
        QObject holder;
        auto *operation = new ModelUpdateOperation(editor->selection(), &holder);
        editor->applyTo(operation);
        operation->clearDescription(true);
        queue->apply(operation);
    } catch (...) {
        // The queue reports what failed while applying; nothing may leave a slot.
    }
}
