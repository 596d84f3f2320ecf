#pragma once

#include <QString>
#include <QVariant>

#include <optional>
#include <utility>

#include "libcore/util/partialdatetime.h"

// The conversions through which every script function reads its arguments.

// The text of a value: an invalid value, and one that has no text form (a PartialDateTime),
// is the empty text.
inline QString scriptText(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QString)
        return *static_cast<const QString *>(value.constData());
    return value.toString();
}

// The 32-bit integer of a value; ok tells whether it converted.
int scriptInteger(const QVariant &value, bool *ok);
// The integers of two values, or nothing when either does not convert.
std::optional<std::pair<int, int>> scriptIntegerPair(const QVariant &a, const QVariant &b);

// A number: a decimal, an integer type (not bool), or a text of optional blanks, an
// optional '-', digits and optional blanks.
bool isScriptNumber(const QVariant &value);
// A double or float, or a text with digits on both sides of a point ("1.5", " -2.25 "; not
// "1.", ".5", "1,5" or "+1.5").
bool isScriptDecimal(const QVariant &value);
// A date value, a date-time, a date, a time, or a text in the storage format
// "yyyy-MM-ddThh:mm:ss:zzz" of which any trailing parts may be missing; anything else
// gives a value with every part unknown.
PartialDateTime scriptDateValue(const QVariant &value);
