#include "app/tageditors/datetimetageditorwidget.h"

#include "libgui/edits/datetimeeditor.h"
#include "libtagging/model/datetimetagitem.h"

DateTimeTagEditorWidget::DateTimeTagEditorWidget(int itemType, int mode, QWidget *parent)
    : LineTagEditorWidget(itemType, mode, parent)
{
}

QWidget *DateTimeTagEditorWidget::createInputWidget(QWidget *parent)
{
    auto *editor = new DateTimeEditor(parent);
    // Inside the table Return and Escape must end the cell's edit even while the tip shows.
    editor->setTipInterceptsKeys(mode() != InlineMode);
    connect(editor, &QLineEdit::returnPressed, this, &DateTimeTagEditorWidget::onReturnPressed);
    connect(editor, &QLineEdit::textChanged, this, &DateTimeTagEditorWidget::onInputChanged);
    return editor;
}

void DateTimeTagEditorWidget::setInputItems(QWidget *input, const QList<TagItem *> &items, bool uniform)
{
    auto *editor = static_cast<DateTimeEditor *>(input);
    const auto *item = dynamic_cast<const DateTimeTagItem *>(items.value(0));
    if (uniform && item && item->dataType() == TagItemDataType::DateTime)
        editor->setValue(item->value);
    else
        editor->clear();
}

bool DateTimeTagEditorWidget::isInputEmpty(QWidget *input) const
{
    const PartialDateTime value = static_cast<const DateTimeEditor *>(input)->value();
    return value.year() < 0 && value.month() < 0 && value.day() < 0 && value.hour() < 0 && value.minute() < 0
        && value.second() < 0 && value.msec() < 0;
}

void DateTimeTagEditorWidget::writeInput(TagItem *item, QWidget *input)
{
    if (auto *dateTime = dynamic_cast<DateTimeTagItem *>(item))
        dateTime->value = static_cast<const DateTimeEditor *>(input)->value();
}
