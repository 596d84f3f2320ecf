#include "app/dialogs/wheretoinsertgroupbox.h"

#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/optionrow.h"
#include "libcore/text/codepointstring.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/numbers/extspinbox.h"

WhereToInsertGroupBox::WhereToInsertGroupBox(QWidget *parent) : QGroupBox(parent)
{
    setTitle(upperCaseFirst(textForId(WhereToInsertTitleTextId)));
    auto *layout = new QVBoxLayout(this);
    QList<ExtSpinBox *> spinBoxes;
    startButton = createOptionRow(layout, upperCaseFirst(textForId(InsertAtStartTextId)), spinBoxes);
    startButton->setChecked(true);
    afterFromStartButton = createOptionRow(layout, upperCaseFirst(textForId(InsertAfterFromStartTextId)), spinBoxes);
    fromStartSpinBox = spinBoxes.value(0);
    beforeFromEndButton = createOptionRow(layout, upperCaseFirst(textForId(InsertBeforeFromEndTextId)), spinBoxes);
    fromEndSpinBox = spinBoxes.value(0);
    endButton = createOptionRow(layout, upperCaseFirst(textForId(InsertAtEndTextId)), spinBoxes);
    updateGui();
}

WhereToInsertGroupBox::~WhereToInsertGroupBox() = default;

void WhereToInsertGroupBox::updateGui()
{
    if (fromStartSpinBox)
        fromStartSpinBox->setEnabled(afterFromStartButton->isChecked());
    if (fromEndSpinBox)
        fromEndSpinBox->setEnabled(beforeFromEndButton->isChecked());
}

int WhereToInsertGroupBox::position(const QString &text) const
{
    const int n = codePointLength(text);
    if (afterFromStartButton->isChecked())
        return fromStartSpinBox ? qMin(fromStartSpinBox->value(), n) : 0;
    if (beforeFromEndButton->isChecked())
        return fromEndSpinBox ? qMax(0, n - fromEndSpinBox->value()) : n;
    if (endButton->isChecked())
        return n;
    return 0;
}
