#include "libgui/edits/datetimevalidator.h"

#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"

namespace {

const QLatin1Char Blank('_');

int fieldValue(const QString &text, int start, int width, int min, int max)
{
    QString part = text.mid(start, width);
    part.replace(Blank, QLatin1Char(' '));
    bool ok = false;
    const int value = part.trimmed().toInt(&ok, 10);
    return ok && value >= min && value <= max ? value : -1;
}

QChar charAt(const QString &text, int index)
{
    return index >= 0 && index < text.size() ? text.at(index) : QChar();
}

struct Field {
    int start;
    int width;
};

const Field Fields[] = {{0, 4}, {5, 2}, {8, 2}, {11, 2}, {14, 2}, {17, 2}};

} // namespace

DateTimeValidator::DateTimeValidator(QObject *parent) : QValidator(parent) {}

int DateTimeValidator::yearOf(const QString &text)
{
    return fieldValue(text, 0, 4, 0, 9999);
}

int DateTimeValidator::monthOf(const QString &text)
{
    return fieldValue(text, 5, 2, 1, 12);
}

int DateTimeValidator::dayOf(const QString &text, int daysInMonth)
{
    return fieldValue(text, 8, 2, 1, daysInMonth);
}

int DateTimeValidator::hourOf(const QString &text)
{
    return fieldValue(text, 11, 2, 0, 23);
}

int DateTimeValidator::minuteOf(const QString &text)
{
    return fieldValue(text, 14, 2, 0, 59);
}

int DateTimeValidator::secondOf(const QString &text)
{
    return fieldValue(text, 17, 2, 0, 59);
}

void DateTimeValidator::validateField(QString &text, int &pos, State &state, int start, int min,
                                      int max, int previous)
{
    // A field the text does not reach (the short form) is absent, not wrong.
    if (start >= text.size())
        return;
    const QChar c0 = charAt(text, start);
    const QChar c1 = charAt(text, start + 1);
    if (c0 == Blank) {
        if (c1 != Blank)
            state = Intermediate;
        return;
    }
    if (c0.digitValue() * 10 > max) {
        if (pos != start + 1) {
            state = Invalid;
            return;
        }
        // The digit can only be the second one of the field.
        text[start] = QLatin1Char('0');
        if (start + 1 < text.size())
            text[start + 1] = c0;
        else
            text.append(c0);
        pos += 2;
    } else {
        if (c1 == Blank || c1.isNull()) {
            state = Intermediate;
            return;
        }
        const int value = c0.digitValue() * 10 + c1.digitValue();
        if (c1.digitValue() < 0 || value < min || value > max) {
            if (pos != start + 1) {
                state = Invalid;
            } else {
                text[start + 1] = Blank;
                state = Intermediate;
            }
            return;
        }
    }
    if (previous == -1)
        state = Intermediate;
}

QValidator::State DateTimeValidator::validate(QString &text, int &pos) const
{
    if (!active)
        return Acceptable;
    const int year = yearOf(text);
    const int month = monthOf(text);
    const int days = PartialDateTime::daysInMonth(year, month);
    int day = dayOf(text, PartialDateTime::daysInMonth(-1, -1));
    if (day != -1 && day > days) {
        if (pos <= 8) {
            text.replace(8, 2, QStringLiteral("%1").arg(days, 2, 10, QLatin1Char('0')));
            day = days;
        } else {
            day = -1;
        }
    }
    State state = Acceptable;
    const QString yearText = text.left(4);
    bool yearDigits = yearText.size() == 4;
    for (const QChar c : yearText)
        yearDigits = yearDigits && c.isDigit();
    if (yearText != QStringLiteral("____") && !yearDigits)
        state = Intermediate;

    const int hour = hourOf(text);
    const int minute = minuteOf(text);
    validateField(text, pos, state, 5, 1, 12, year);
    if (state != Invalid)
        validateField(text, pos, state, 8, 1, days, month);
    if (state != Invalid)
        validateField(text, pos, state, 11, 0, 23, day);
    if (state != Invalid)
        validateField(text, pos, state, 14, 0, 59, hour);
    if (state != Invalid)
        validateField(text, pos, state, 17, 0, 59, minute);
    fixupAt(text, pos);
    // A rejected keystroke is undone by the line edit without a second validation: the
    // value must not take it over.
    if (state != Invalid)
        lastText = text;
    return state;
}

void DateTimeValidator::fixup(QString &text) const
{
    fixupAt(text, -1);
}

void DateTimeValidator::fixupAt(QString &text, int pos)
{
    const int year = yearOf(text);
    const int month = monthOf(text);
    const int values[] = {year, month, dayOf(text, PartialDateTime::daysInMonth(year, month)),
                          hourOf(text), minuteOf(text), secondOf(text)};
    bool blankRest = false;
    for (int i = 0; i < 6; ++i) {
        const Field &field = Fields[i];
        if (field.start >= text.size())
            break;
        int value = values[i];
        if (pos == -1) {
            if (blankRest)
                value = -1;
            else if (value == -1)
                blankRest = true;
        }
        if (pos >= field.start && pos < field.start + field.width)
            continue;
        const QString replacement = value == -1
            ? QString(field.width, Blank)
            : QStringLiteral("%1").arg(value, field.width, 10, QLatin1Char('0'));
        text.replace(field.start, field.width, replacement);
    }
}

PartialDateTime DateTimeValidator::value() const
{
    return valueOf(lastText);
}

PartialDateTime DateTimeValidator::valueOf(const QString &source)
{
    QString text = source;
    fixupAt(text, -1);
    const int year = yearOf(text);
    const int month = monthOf(text);
    PartialDateTime value;
    value.setYear(year);
    value.setMonth(month);
    value.setDay(dayOf(text, PartialDateTime::daysInMonth(year, month)));
    value.setHour(hourOf(text));
    value.setMinute(minuteOf(text));
    value.setSecond(secondOf(text));
    return value;
}

int DateTimeValidator::lastEditablePosition() const
{
    int end = 0;
    for (int i = int(lastText.size()) - 1; i >= 0; --i) {
        if (lastText.at(i).isDigit()) {
            end = i + 1;
            break;
        }
    }
    const int blank = int(lastText.indexOf(Blank, end));
    return blank < 0 ? int(lastText.size()) : blank;
}

QString DateTimeValidator::hintText(int pos) const
{
    QString pattern;
    QString text;
    if (pos <= 3) {
        pattern = QStringLiteral("<b>YYYY</b>-MM-DD hh:mm:ss<br>");
        text = textForId(DateTimeYearHintTextId);
    } else if (pos <= 6) {
        pattern = QStringLiteral("YYYY-<b>MM</b>-DD hh:mm:ss<br>");
        text = textForId(DateTimeMonthHintTextId);
    } else if (pos <= 9) {
        pattern = QStringLiteral("YYYY-MM-<b>DD</b> hh:mm:ss<br>");
        text = textForId(DateTimeDayHintTextId);
        argInt(text, PartialDateTime::daysInMonth(yearOf(lastText), monthOf(lastText)));
    } else if (pos <= 12) {
        pattern = QStringLiteral("YYYY-MM-DD <b>hh</b>:mm:ss<br>");
        text = textForId(DateTimeHourHintTextId);
    } else if (pos <= 15) {
        pattern = QStringLiteral("YYYY-MM-DD hh:<b>mm</b>:ss<br>");
        text = textForId(DateTimeMinuteHintTextId);
    } else {
        pattern = QStringLiteral("YYYY-MM-DD hh:mm:<b>ss</b><br>");
        text = textForId(DateTimeSecondHintTextId);
    }
    return upperCaseFirst(pattern + text);
}
