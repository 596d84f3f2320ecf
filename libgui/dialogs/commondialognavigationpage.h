#pragma once

#include "libgui/dialogs/commondialogpage.h"

class TaskWidget;

enum CommonDialogNavigationTextId : quint32 {
    CommonDialogNavigationTitleTextId = 3064004627u,
};

// A page without content of its own: links to its child pages, as they were at its first
// show.
class CommonDialogNavigationPage : public CommonDialogPage
{
    Q_OBJECT
public:
    explicit CommonDialogNavigationPage(QWidget *parent = nullptr);

    bool isInitialized() override;
    void initialize() override;

    TaskWidget *taskWidget = nullptr;

private Q_SLOTS:
    void onShowChildPage();
};
