#include "libgui/edits/datetimeeditor.h"

#include "libgui/edits/contenttiplabel.h"
#include "libgui/edits/datetimevalidator.h"

namespace {

const QString &shortFormat()
{
    static const QString format = QStringLiteral("yyyy-MM-dd hh:mm:ss");
    return format;
}

} // namespace

DateTimeEditor::DateTimeEditor(QWidget *parent) : ExtLineEdit(parent)
{
    validator = new DateTimeValidator(this);
    setValidator(validator);
    connect(this, &QLineEdit::cursorPositionChanged, this, &DateTimeEditor::onCursorPositionChanged);
    connect(this, &ExtLineEdit::focusReceived, this, &DateTimeEditor::onFocusReceived);
    connect(this, &ExtLineEdit::focusLost, this, &DateTimeEditor::onFocusLost);
}

PartialDateTime DateTimeEditor::value() const
{
    // While idle the validator is off and knows nothing of values set since: the shown
    // short form is the value.
    return validator->isActive() ? validator->value() : DateTimeValidator::valueOf(text());
}

void DateTimeEditor::setValue(const PartialDateTime &value)
{
    setText(value.toString(shortFormat()));
}

void DateTimeEditor::setEditing(bool editing)
{
    validator->setActive(editing);
    if (editing) {
        setInputMask(QStringLiteral("0000-00-00 00:00:00;_"));
    } else {
        setInputMask(QString());
        setText(validator->value().toString(shortFormat()));
    }
}

void DateTimeEditor::onCursorPositionChanged(int, int newPos)
{
    if (!hasFocus())
        return;
    const int limit = validator->lastEditablePosition();
    if (limit < newPos) {
        setCursorPosition(limit);
        return;
    }
    // Re-validates with the new cursor, so the field just left is padded or blanked.
    if (!hasSelectedText())
        insert(QString());
    ContentTipLabel::showTipBelow(this, validator->hintText(newPos), tipInterceptsKeys);
}

void DateTimeEditor::onFocusReceived()
{
    setEditing(true);
}

void DateTimeEditor::onFocusLost()
{
    setEditing(false);
}
