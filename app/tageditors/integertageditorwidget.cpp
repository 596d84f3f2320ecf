#include "app/tageditors/integertageditorwidget.h"

#include <limits>

#include "libgui/numbers/extspinbox.h"
#include "libtagging/model/integertagitem.h"

IntegerTagEditorWidget::IntegerTagEditorWidget(int itemType, int mode, QWidget *parent)
    : LineTagEditorWidget(itemType, mode, parent)
{
}

QWidget *IntegerTagEditorWidget::createInputWidget(QWidget *parent)
{
    auto *spinBox = new ExtSpinBox(parent);
    spinBox->setMaximum(std::numeric_limits<int>::max());
    spinBox->setEmptyForMinimum(true);
    connect(spinBox, &QSpinBox::valueChanged, this, &IntegerTagEditorWidget::onInputChanged);
    return spinBox;
}

void IntegerTagEditorWidget::setInputItems(QWidget *input, const QList<TagItem *> &items, bool uniform)
{
    auto *spinBox = static_cast<ExtSpinBox *>(input);
    const auto *item = dynamic_cast<const IntegerTagItem *>(items.value(0));
    if (uniform && item && item->dataType() == TagItemDataType::Integer)
        spinBox->setValue(item->value);
    else
        spinBox->clearValue();
}

bool IntegerTagEditorWidget::isInputEmpty(QWidget *input) const
{
    const auto *spinBox = static_cast<const ExtSpinBox *>(input);
    return spinBox->value() == spinBox->minimum();
}

void IntegerTagEditorWidget::writeInput(TagItem *item, QWidget *input)
{
    if (auto *integer = dynamic_cast<IntegerTagItem *>(item))
        integer->value = static_cast<const ExtSpinBox *>(input)->value();
}
