#include "app/tagscript/scriptvalues.h"

#include "libcore/util/variants.h"

#include <limits>

namespace {

// Whether the whole text is blanks, an optional '-', digits, optionally a point and more
// digits, and blanks; digits and blanks of every script count, as the script always took them.
bool matchesNumberText(const QString &text, bool decimal)
{
    const QChar *p = text.constData();
    const QChar *end = p + text.size();
    while (p != end && p->isSpace())
        ++p;
    if (p != end && *p == u'-')
        ++p;
    const auto digits = [&p, end] {
        const QChar *start = p;
        while (p != end && p->isDigit())
            ++p;
        return p != start;
    };
    if (!digits())
        return false;
    if (decimal) {
        if (p == end || *p != u'.')
            return false;
        ++p;
        if (!digits())
            return false;
    }
    while (p != end && p->isSpace())
        ++p;
    return p == end;
}

} // namespace

int scriptInteger(const QVariant &value, bool *ok)
{
    // A text or a wide integer outside 32 bits does not convert, where the variant would cut
    // it silently.
    if (value.metaType().id() == QMetaType::QString)
        return static_cast<const QString *>(value.constData())->trimmed().toInt(ok);
    if (isIntegerVariant(value)) {
        bool converted = false;
        const qlonglong n = value.toLongLong(&converted);
        const bool inRange = converted && n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max()
                             && !(value.metaType().id() == QMetaType::ULongLong && value.toULongLong() > quint64(n));
        *ok = inRange;
        return inRange ? int(n) : 0;
    }
    return value.toInt(ok);
}

std::optional<std::pair<int, int>> scriptIntegerPair(const QVariant &a, const QVariant &b)
{
    bool okA = false;
    bool okB = false;
    const int x = scriptInteger(a, &okA);
    const int y = scriptInteger(b, &okB);
    if (!okA || !okB)
        return std::nullopt;
    return std::pair {x, y};
}

bool isScriptDecimal(const QVariant &value)
{
    const int type = value.metaType().id();
    if (type == QMetaType::Double || type == QMetaType::Float)
        return true;
    return type == QMetaType::QString && matchesNumberText(value.toString(), true);
}

bool isScriptNumber(const QVariant &value)
{
    if (isScriptDecimal(value) || isIntegerVariant(value))
        return true;
    return value.metaType().id() == QMetaType::QString && matchesNumberText(value.toString(), false);
}

PartialDateTime scriptDateValue(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QDateTime:
        return PartialDateTime(value.toDateTime());
    case QMetaType::QDate:
        return PartialDateTime(value.toDate());
    case QMetaType::QTime:
        return PartialDateTime(value.toTime());
    case QMetaType::QString:
        return PartialDateTime(value.toString(), PartialDateTime::storageFormat());
    default:
        if (value.metaType() == QMetaType::fromType<PartialDateTime>())
            return value.value<PartialDateTime>();
        return PartialDateTime();
    }
}
