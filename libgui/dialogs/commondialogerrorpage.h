#pragma once

#include "libgui/dialogs/commondialogpage.h"

class BufferedLogger;
class LogMessageWidget;

// A wizard page that shows the newest error or warning of the wizard's logger, with the
// table of all messages behind a link.
class CommonDialogErrorPage : public CommonDialogPage
{
    Q_OBJECT
public:
    explicit CommonDialogErrorPage(BufferedLogger *logger, QWidget *parent = nullptr);

    void updatePage(CommonDialogPage::UpdateReason reason) override;

    LogMessageWidget *messageWidget;
};
