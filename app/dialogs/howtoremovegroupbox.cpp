#include "app/dialogs/howtoremovegroupbox.h"

#include <QRadioButton>
#include <QVBoxLayout>

#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"

HowToRemoveGroupBox::HowToRemoveGroupBox(QWidget *parent) : QGroupBox(parent)
{
    setTitle(upperCaseFirst(textForId(HowToRemoveTitleTextId)));
    auto *layout = new QVBoxLayout(this);
    removeButton = new QRadioButton(upperCaseFirst(textForId(RemoveRangeTextId)), this);
    removeButton->setChecked(true);
    keepButton = new QRadioButton(upperCaseFirst(textForId(KeepRangeTextId)), this);
    layout->addWidget(removeButton);
    layout->addWidget(keepButton);
}

HowToRemoveGroupBox::~HowToRemoveGroupBox() = default;

bool HowToRemoveGroupBox::removesRange() const
{
    return removeButton->isChecked();
}
