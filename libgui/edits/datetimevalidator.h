#pragma once

#include <QValidator>

#include "libcore/util/partialdatetime.h"

enum DateTimeValidatorTextId : quint32 {
    DateTimeYearHintTextId = 4191868766u,
    DateTimeMonthHintTextId = 2516614104u,
    DateTimeDayHintTextId = 341362452u,  // [days in the month]
    DateTimeHourHintTextId = 2362144069u,
    DateTimeMinuteHintTextId = 2545946797u,
    DateTimeSecondHintTextId = 338862350u,
};

// Validates the masked text "yyyy-MM-dd hh:mm:ss" (blanks '_') of a partial date-time field
// by field: a first digit that cannot start a valid value gets a leading zero, a value out
// of range is rejected or, while its second digit is typed, blanked, and every field the
// cursor is not in is padded or blanked. The last accepted text is the editor's value.
class DateTimeValidator : public QValidator
{
    Q_OBJECT
public:
    explicit DateTimeValidator(QObject *parent = nullptr);

    State validate(QString &text, int &pos) const override;
    void fixup(QString &text) const override;

    void setActive(bool on) { active = on; }
    bool isActive() const { return active; }
    PartialDateTime value() const;
    // The value a text stands for after a full fix-up.
    static PartialDateTime valueOf(const QString &text);
    // Where the typed part ends: the first blank after the last digit.
    int lastEditablePosition() const;
    // Rich text naming the field at the cursor position.
    QString hintText(int pos) const;
    const QString &lastAcceptedText() const { return lastText; }

    // A field's number, or -1 when it is blank, half blank inside or out of range.
    static int yearOf(const QString &text);
    static int monthOf(const QString &text);
    static int dayOf(const QString &text, int daysInMonth);
    static int hourOf(const QString &text);
    static int minuteOf(const QString &text);
    static int secondOf(const QString &text);

    // Pads known fields and blanks unknown ones, except the field the cursor is in; with
    // pos -1 everything after the first blank field is blanked too.
    static void fixupAt(QString &text, int pos);

private:
    static void validateField(QString &text, int &pos, State &state, int start, int min, int max,
                              int previous);

    bool active = true;
    mutable QString lastText;
};
