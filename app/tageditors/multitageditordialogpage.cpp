#include "app/tageditors/multitageditordialogpage.h"

#include <QVBoxLayout>

#include "app/tageditors/multitageditorwidget.h"

MultiTagEditorDialogPage::MultiTagEditorDialogPage(const AudioFileSelection &selection, int category,
                                                   QWidget *parent)
    : CommonDialogPage(parent), selection(selection), category(category)
{
    multiTagEditor = new MultiTagEditorWidget;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(multiTagEditor);
}

bool MultiTagEditorDialogPage::isInitialized()
{
    return initialized;
}

void MultiTagEditorDialogPage::initialize()
{
    if (initialized)
        return;
    multiTagEditor->addCategory(category);
    multiTagEditor->setSelection(selection);
    initialized = true;
}

bool MultiTagEditorDialogPage::usesOwnFrame()
{
    return true;
}
