#include "app/tageditors/stringtageditorwidget.h"

#include <QCompleter>
#include <QMap>

#include "libcore/text/stringutils.h"
#include "libgui/edits/extlineedit.h"
#include "libtagging/model/stringtagitem.h"

StringTagEditorWidget::StringTagEditorWidget(int itemType, int mode, QWidget *parent)
    : LineTagEditorWidget(itemType, mode, parent)
{
}

QWidget *StringTagEditorWidget::createInputWidget(QWidget *parent)
{
    auto *edit = new ExtLineEdit(parent);
    connect(edit, &QLineEdit::returnPressed, this, &StringTagEditorWidget::onReturnPressed);
    connect(edit, &QLineEdit::textChanged, this, &StringTagEditorWidget::onInputChanged);
    return edit;
}

void StringTagEditorWidget::setInputItems(QWidget *input, const QList<TagItem *> &items, bool uniform)
{
    auto *edit = static_cast<ExtLineEdit *>(input);
    const TagItem *firstItem = items.value(0);
    if (uniform && firstItem) {
        edit->setText(firstItem->toString());
        return;
    }
    edit->clear();
    // One suggestion per spelling that differs only in case, spaces or punctuation.
    QMap<QString, QString> textsByKey;
    for (const TagItem *item : items) {
        if (!item)
            continue;
        const QString text = item->toString();
        const QString key = alphanumericKey(text);
        if (!textsByKey.contains(key))
            textsByKey.insert(key, text);
    }
    // The line edit deletes a replaced completer that it is the parent of.
    if (textsByKey.isEmpty()) {
        edit->setCompleter(nullptr);
    } else {
        auto *completer = new QCompleter(textsByKey.values(), edit);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        edit->setCompleter(completer);
    }
}

bool StringTagEditorWidget::isInputEmpty(QWidget *input) const
{
    return static_cast<const ExtLineEdit *>(input)->text().trimmed().isEmpty();
}

void StringTagEditorWidget::writeInput(TagItem *item, QWidget *input)
{
    if (auto *string = dynamic_cast<StringTagItem *>(item))
        string->value = static_cast<const ExtLineEdit *>(input)->text();
    else
        item->fromVariant(static_cast<const ExtLineEdit *>(input)->text());
}
