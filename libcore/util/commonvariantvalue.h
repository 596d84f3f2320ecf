#pragma once

#include <QVariant>

// Accumulates the value that a sequence of values shares, after normalising the empty forms
// of each type (see normalizedVariant). Once add() has reported a difference, the
// representative is invalid and the accumulator is not meant to be fed further.
class CommonVariantValue
{
public:
    CommonVariantValue();

    // True when the value differs from the common value so far.
    bool add(const QVariant &value);

    QVariant normalized;
    QVariant representative;
};
