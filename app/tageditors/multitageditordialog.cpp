#include "app/tageditors/multitageditordialog.h"

#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/tageditors/multitageditordialogpage.h"
#include "app/tageditors/multitageditorwidget.h"
#include "libgui/icons/icons.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/progress/dialogsizehints.h"
#include "libtagging/model/tagitem.h"

namespace {
constexpr int CategoryCount = 18;
}

MultiTagEditorDialog::MultiTagEditorDialog(const AudioFileSelection &selection, OperationQueue *queue,
                                           QWidget *parent, Qt::WindowFlags flags)
    : TreeViewDialog(parent, flags), selection(selection), operationQueue(queue)
{
    setWindowIcon(loadIcon(QStringLiteral("editTag")));
    setWindowTitle(upperCaseFirst(textForId(EditTagsTitleTextId)));
    QList<CommonDialogPage *> pages;
    for (int category = 0; category < CategoryCount; ++category) {
        auto *page = new MultiTagEditorDialogPage(selection, category);
        page->setTitle(upperCaseFirst(TagItem::categoryName(category)));
        page->icon = loadIcon(QStringLiteral("tag"));
        multiTagEditors.append(page->tagEditor());
        pages.append(page);
    }
    setPages(pages);
}

QSize MultiTagEditorDialog::sizeHint() const
{
    return wideDialogSizeHint();
}

void MultiTagEditorDialog::accept()
{
    QDialog::accept();
    if (!operationQueue)
        return;
    try {
        QObject holder;
        ModelUpdateOperation *operation = nullptr;
        for (MultiTagEditorWidget *editor : std::as_const(multiTagEditors)) {
            if (!editor->isModified())
                continue;
            if (!operation)
                operation = new ModelUpdateOperation(selection, &holder);
            editor->applyTo(operation);
        }
        if (!operation)
            return;
        operation->selectsChangedCells = true;
        operation->clearDescription(true);
        operationQueue->apply(operation);
    } catch (...) {
        // The queue reports what failed while applying; nothing may leave a slot.
    }
}
