#include "libgui/dialogs/commondialogerrorpage.h"

#include <QVBoxLayout>

#include "libgui/layout/layoututil.h"
#include "libgui/logviews/logmessagewidget.h"

CommonDialogErrorPage::CommonDialogErrorPage(BufferedLogger *logger, QWidget *parent)
    : CommonDialogPage(parent)
{
    messageWidget = new LogMessageWidget(logger);
    QVBoxLayout *layout = wrapInLayout(messageWidget);
    setLayout(layout);
    layout->setAlignment(Qt::AlignTop);
}

void CommonDialogErrorPage::updatePage(CommonDialogPage::UpdateReason)
{
    messageWidget->setTableShown(false);
    messageWidget->updateMessage();
}
