#pragma once

#include "app/operations/audiofileselection.h"
#include "libgui/dialogs/commondialogpage.h"

class MultiTagEditorWidget;

// One category of the multi tag editor dialog; its editors are made when it is first shown.
class MultiTagEditorDialogPage : public CommonDialogPage
{
    Q_OBJECT
public:
    MultiTagEditorDialogPage(const AudioFileSelection &selection, int category, QWidget *parent = nullptr);

    bool isInitialized() override;
    void initialize() override;
    bool usesOwnFrame() override;

    MultiTagEditorWidget *tagEditor() const { return multiTagEditor; }

private:
    AudioFileSelection selection;
    int category;
    MultiTagEditorWidget *multiTagEditor = nullptr;
    bool initialized = false;
};
