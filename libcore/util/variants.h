#pragma once

#include <QVariant>

// Equality of two payloads of one registered variant type.
using VariantComparator = bool (*)(const void *a, const void *b);

// True for the integer types (signed and unsigned, 8 to 64 bits); false for booleans and
// floating-point numbers.
bool isIntegerVariant(const QVariant &value);
// The unsigned ones among them.
bool isUnsignedIntegerVariant(const QVariant &value);

// The form used to compare values: no value, false, 0 (int), 0.0 (double), an empty text and
// a date with no known part all become the invalid variant; everything else stays.
QVariant normalizedVariant(const QVariant &value);

// A variant holding an empty variant: "nothing added yet", distinct from every real value.
QVariant unsetVariant();
bool isUnsetVariant(const QVariant &value);

// Folds the values into their common value: a representative raw value when all normalise
// equal, an invalid variant when they differ, the unset marker for no valid value at all.
QVariant commonVariantValue(const QVariantList &values);

// A hash that agrees with variant equality for integers of different widths.
quint32 variantHash(const QVariant &value);

// The variant's text; lists (also nested ones) as "{ a | { b | c } }".
QString variantToString(const QVariant &value);

// Registers the equality of a custom variant type, replacing an earlier one.
void registerVariantComparator(int typeId, VariantComparator comparator);

// With the handler installed, variantsEqual decides registered types through their
// comparators; all other types, and every type without the handler, by QVariant equality
// (which for value types with operator== already compares by value).
void installVariantHandler(bool install);
bool variantsEqual(const QVariant &a, const QVariant &b);
