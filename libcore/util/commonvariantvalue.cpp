#include "libcore/util/commonvariantvalue.h"

#include "libcore/util/variants.h"

CommonVariantValue::CommonVariantValue() : normalized(unsetVariant()), representative(unsetVariant())
{
}

bool CommonVariantValue::add(const QVariant &value)
{
    const QVariant n = normalizedVariant(value);
    if (isUnsetVariant(normalized) || variantsEqual(n, normalized)) {
        normalized = n;
        // The latest raw value with a real normalised form stands for the group; while all
        // are empty forms, the first one does.
        if (value.isValid() && (n.isValid() || isUnsetVariant(representative)))
            representative = value;
        return false;
    }
    representative = QVariant();
    return true;
}
