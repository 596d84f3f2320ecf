#include "app/tagscript/scriptfunctions.h"

#include "app/tagscript/scripttextfunctions.h"
#include "app/tagscript/scriptvalues.h"
#include "libcore/text/formatting.h"
#include "libcore/util/random.h"

#include <QDateTime>
#include <QHash>

#include <algorithm>
#include <cmath>

namespace {

// Logic

QVariant scriptAnd(const QString &, const QVariantList &a)
{
    return a.at(0).toBool() && a.at(1).toBool();
}

QVariant scriptOr(const QString &, const QVariantList &a)
{
    return a.at(0).toBool() || a.at(1).toBool();
}

QVariant scriptNot(const QString &, const QVariantList &a)
{
    return !a.at(0).toBool();
}

// Comparison: numbers as doubles, else texts without regard to case, else nothing compares.
// The result is negative, zero or positive, or nullopt when the values can't be compared.
std::optional<int> compareValues(const QVariant &a, const QVariant &b)
{
    if (isScriptNumber(a) && isScriptNumber(b)) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        if (std::isnan(x) || std::isnan(y))
            return std::nullopt;
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.metaType().id() == QMetaType::QString || b.metaType().id() == QMetaType::QString)
        return QString::compare(scriptText(a), scriptText(b), Qt::CaseInsensitive);
    return std::nullopt;
}

template<bool (*Test)(int)>
QVariant scriptCompare(const QString &, const QVariantList &a)
{
    const std::optional<int> r = compareValues(a.at(0), a.at(1));
    return r.has_value() && Test(*r);
}

bool isEqual(int r) { return r == 0; }
bool isNotEqual(int r) { return r != 0; }
bool isGreater(int r) { return r > 0; }
bool isGreaterOrEqual(int r) { return r >= 0; }
bool isLess(int r) { return r < 0; }
bool isLessOrEqual(int r) { return r <= 0; }

// Arithmetic: doubles when either value is a decimal, else 32-bit integers that wrap around.

enum class Op { Add, Sub, Mul, Div };

// Two's complement wrapping without signed overflow.
int wrapped(qint64 value)
{
    return int(quint32(quint64(value)));
}

template<Op op>
QVariant scriptArithmetic(const QString &, const QVariantList &a)
{
    if (isScriptDecimal(a.at(0)) || isScriptDecimal(a.at(1))) {
        bool okA = false;
        bool okB = false;
        const double x = a.at(0).toDouble(&okA);
        const double y = a.at(1).toDouble(&okB);
        if (!okA || !okB)
            return QVariant();
        switch (op) {
        case Op::Add: return x + y;
        case Op::Sub: return x - y;
        case Op::Mul: return x * y;
        case Op::Div: return y == 0 ? 0.0 : x / y;
        }
    }
    const auto integers = scriptIntegerPair(a.at(0), a.at(1));
    if (!integers)
        return QVariant();
    const qint64 x = integers->first;
    const qint64 y = integers->second;
    switch (op) {
    case Op::Add: return wrapped(x + y);
    case Op::Sub: return wrapped(x - y);
    case Op::Mul: return wrapped(x * y);
    // In 64 bits the smallest int divided by -1 is exact, and wraps back to itself.
    case Op::Div: return y == 0 ? 0 : wrapped(x / y);
    }
    return QVariant();
}

QVariant scriptMod(const QString &, const QVariantList &a)
{
    const auto integers = scriptIntegerPair(a.at(0), a.at(1));
    if (!integers)
        return QVariant();
    // In 64 bits the smallest int modulo -1 is 0, not a trap.
    const qint64 x = integers->first;
    const qint64 y = integers->second;
    return y == 0 ? 0 : int(x % y);
}

QVariant scriptOdd(const QString &, const QVariantList &a)
{
    bool ok = false;
    const int n = scriptInteger(a.at(0), &ok);
    return ok && n % 2 != 0;
}

// Conditional choice: the chosen argument unchanged.

QVariant scriptIfElse(const QString &, const QVariantList &a)
{
    return a.at(0).toBool() ? a.at(0) : a.at(1);
}

QVariant scriptIf(const QString &, const QVariantList &a)
{
    return a.at(0).toBool() ? a.at(1) : a.at(2);
}

QVariant scriptIfGreater(const QString &, const QVariantList &a)
{
    const std::optional<int> r = compareValues(a.at(0), a.at(1));
    return r.has_value() && *r > 0 ? a.at(2) : a.at(3);
}

QVariant scriptIfLonger(const QString &, const QVariantList &a)
{
    return scriptText(a.at(0)).size() > scriptText(a.at(1)).size() ? a.at(2) : a.at(3);
}

// Number formatting

QVariant scriptNum(const QString &, const QVariantList &a)
{
    const auto integers = scriptIntegerPair(a.at(0), a.at(1));
    if (!integers)
        return a.at(0);
    const auto [n, width] = *integers;
    return QStringLiteral("%1").arg(qlonglong(n), std::clamp(width, -100, 100), 10, QLatin1Char('0'));
}

QVariant scriptFmtNum(const QString &, const QVariantList &a)
{
    bool ok = false;
    const int n = scriptInteger(a.at(0), &ok);
    if (!ok)
        return a.at(0);
    const QString digits = QString::number(qAbs(qint64(n)));
    QString result;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            result += u'.';
        result += digits.at(i);
    }
    return n < 0 ? u'-' + result : result;
}

QVariant scriptFmtSize(const QString &, const QVariantList &a)
{
    return upperCaseFirst(formatByteSize(a.at(0).toLongLong(), true), true);
}

// Dates

QVariant scriptNowFormatted(const QString &, const QVariantList &a)
{
    return QDateTime::currentDateTime().toString(scriptText(a.at(0)));
}

QVariant scriptDateFormatted(const QString &, const QVariantList &a)
{
    return scriptDateValue(a.at(0)).toString(scriptText(a.at(1)));
}

QVariant scriptTimestamp(const QString &, const QVariantList &a)
{
    const QDateTime earliest = scriptDateValue(a.at(0)).toEarliestDateTime();
    // Without a year there is no earliest moment and so no number of seconds.
    if (!earliest.isValid())
        return QVariant();
    return qlonglong(earliest.toMSecsSinceEpoch() / 1000);
}

// Environment and random numbers

QVariant scriptGetEnv(const QString &, const QVariantList &a)
{
    const QByteArray name = scriptText(a.at(0)).toUtf8();
    // A name with a NUL inside names what precedes it, as the C library reads it.
    const QByteArray value = qgetenv(name.constData());
    return QString::fromUtf8(value.constData());
}

QVariant scriptRand(const QString &, const QVariantList &)
{
    return int(processRandomGenerator().generate() & 0x7FFFFFFFu);
}

// The name table: each row is one function under all of its names, with the numbers of
// arguments it takes.
struct FunctionRow {
    const char *names; // separated by spaces
    int minArguments;
    int maxArguments; // -1: any odd number from minArguments up
    ScriptFunction function;
};

const FunctionRow functionRows[] = {
    {"and &&", 2, 2, scriptAnd},
    {"or ||", 2, 2, scriptOr},
    {"not !", 1, 1, scriptNot},
    {"eq eql ==", 2, 2, scriptCompare<isEqual>},
    {"ne neql !=", 2, 2, scriptCompare<isNotEqual>},
    {"gt grtr >", 2, 2, scriptCompare<isGreater>},
    {"gte geql >=", 2, 2, scriptCompare<isGreaterOrEqual>},
    {"lt less <", 2, 2, scriptCompare<isLess>},
    {"lte leql <=", 2, 2, scriptCompare<isLessOrEqual>},
    {"add +", 2, 2, scriptArithmetic<Op::Add>},
    {"sub -", 2, 2, scriptArithmetic<Op::Sub>},
    {"mul *", 2, 2, scriptArithmetic<Op::Mul>},
    {"div /", 2, 2, scriptArithmetic<Op::Div>},
    {"mod", 2, 2, scriptMod},
    {"odd", 1, 1, scriptOdd},
    {"if if2", 2, 2, scriptIfElse},
    {"if", 3, 3, scriptIf},
    {"ifgreater", 4, 4, scriptIfGreater},
    {"iflonger", 4, 4, scriptIfLonger},
    {"num", 2, 2, scriptNum},
    {"fmtnum", 1, 1, scriptFmtNum},
    {"fmtsize", 1, 1, scriptFmtSize},
    {"date datetime", 1, 1, scriptNowFormatted},
    {"date datetime", 2, 2, scriptDateFormatted},
    {"timestamp", 1, 1, scriptTimestamp},
    {"getenv", 1, 1, scriptGetEnv},
    {"rand", 0, 0, scriptRand},
    // Text functions
    {"len length size", 1, 1, scriptLength},
    {"isempty", 0, 1, scriptIsEmpty},
    {"char", 1, 1, scriptChar},
    {"ord", 1, 1, scriptOrd},
    {"isdigit", 1, 1, scriptIsDigit},
    {"contains in", 2, 2, scriptContains},
    {"startswith", 2, 2, scriptStartsWith},
    {"endswith", 2, 2, scriptEndsWith},
    {"indexof strstr strchr find", 2, 2, scriptIndexOf},
    {"lastindexof strrstr strrchr", 2, 2, scriptLastIndexOf},
    {"left", 2, 2, scriptLeft},
    {"right", 2, 2, scriptRight},
    {"mid", 2, 2, scriptMidCharacter},
    {"mid", 3, 3, scriptMid},
    {"mid2", 2, 2, scriptMidToEnd},
    {"substr", 2, 3, scriptSubstr},
    {"truncate", 2, 2, scriptTruncate},
    {"insert", 3, 3, scriptInsert},
    {"remove", 2, 2, scriptRemoveText},
    {"remove", 3, 3, scriptRemoveRange},
    {"replace", 3, -1, scriptReplace},
    {"regexp rreplace", 3, 4, scriptRegExpReplace},
    {"repeat", 2, 2, scriptRepeat},
    {"reverse", 1, 1, scriptReverse},
    {"trim", 1, 1, scriptTrim},
    {"pad", 3, 3, scriptPad},
    {"split", 3, 3, scriptSplit},
    {"validate", 2, 2, scriptValidate},
    {"distance", 2, 2, scriptDistance},
    {"upper", 1, 1, scriptUpper},
    {"lower", 1, 1, scriptLower},
    {"caps title", 1, 1, scriptCaps},
    {"caps", 2, 2, scriptCaps},
    {"caps2", 1, 2, scriptCaps2},
    {"caps3", 1, 2, scriptCaps3},
};

using FunctionTable = QHash<QString, QList<const FunctionRow *>>;

const FunctionTable &functionTable()
{
    static const FunctionTable table = [] {
        FunctionTable t;
        for (const FunctionRow &row : functionRows) {
            const QStringList names = QString::fromLatin1(row.names).split(u' ');
            for (const QString &name : names)
                t[name].append(&row);
        }
        return t;
    }();
    return table;
}

} // namespace

ScriptFunction findScriptFunction(const QString &key, int argumentCount)
{
    const FunctionTable &table = functionTable();
    const auto it = table.constFind(key);
    if (it == table.constEnd())
        return nullptr;
    for (const FunctionRow *row : *it) {
        if (row->maxArguments < 0) {
            if (argumentCount >= row->minArguments && (argumentCount - row->minArguments) % 2 == 0)
                return row->function;
        } else if (argumentCount >= row->minArguments && argumentCount <= row->maxArguments) {
            return row->function;
        }
    }
    return nullptr;
}
