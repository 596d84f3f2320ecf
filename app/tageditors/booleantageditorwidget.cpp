#include "app/tageditors/booleantageditorwidget.h"

#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/combos/extcombobox.h"
#include "libtagging/model/booleantagitem.h"

namespace {
enum Entry : int { NoValueEntry = 0, YesEntry = 1, NoEntry = 2 };
}

BooleanTagEditorWidget::BooleanTagEditorWidget(int itemType, int mode, QWidget *parent)
    : LineTagEditorWidget(itemType, mode, parent)
{
}

QWidget *BooleanTagEditorWidget::createInputWidget(QWidget *parent)
{
    auto *combo = new ExtComboBox(parent);
    combo->addItem(QString());
    combo->addItem(upperCaseFirst(textForId(YesValueTextId)));
    combo->addItem(upperCaseFirst(textForId(NoValueTextId)));
    combo->setEditable(false);
    if (mode() == InlineMode)
        connect(combo, &ExtComboBox::popupHidden, this, &BooleanTagEditorWidget::onPopupHidden);
    connect(combo, &QComboBox::currentIndexChanged, this, &BooleanTagEditorWidget::onInputChanged);
    return combo;
}

void BooleanTagEditorWidget::setInputItems(QWidget *input, const QList<TagItem *> &items, bool uniform)
{
    auto *combo = static_cast<ExtComboBox *>(input);
    const auto *item = dynamic_cast<const BooleanTagItem *>(items.value(0));
    if (uniform && item)
        combo->setCurrentIndex(item->value ? YesEntry : NoEntry);
    else
        combo->setCurrentIndex(NoValueEntry);
}

bool BooleanTagEditorWidget::isInputEmpty(QWidget *input) const
{
    return static_cast<const ExtComboBox *>(input)->currentIndex() == NoValueEntry;
}

void BooleanTagEditorWidget::writeInput(TagItem *item, QWidget *input)
{
    if (auto *boolean = dynamic_cast<BooleanTagItem *>(item))
        boolean->value = static_cast<const ExtComboBox *>(input)->currentIndex() == YesEntry;
}

void BooleanTagEditorWidget::onPopupHidden(bool activated)
{
    if (activated)
        Q_EMIT editingFinished(this);
    else
        Q_EMIT editingCanceled(this);
}
