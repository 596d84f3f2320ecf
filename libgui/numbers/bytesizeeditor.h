#pragma once

#include <QWidget>

#include "libgui/combos/extcombobox.h"
#include "libgui/numbers/extspinbox.h"

enum ByteSizeEditorTextId : quint32 {
    ByteSizeBytesTextId = 3787472168u,
};

// A byte count edited as a number with a unit (bytes, KiB, MiB, GiB). Only the units that
// the allowed range needs are offered; a value set from outside shows in the largest unit
// that divides it exactly.
class ByteSizeEditor : public QWidget
{
    Q_OBJECT
public:
    explicit ByteSizeEditor(QWidget *parent = nullptr);

    void setRange(int minimumBytes, int maximumBytes);
    int value() const;
    void setValue(int bytes);

    ExtSpinBox *spinBox;
    ExtComboBox *unitCombo;

Q_SIGNALS:
    void valueChanged();

private Q_SLOTS:
    void onPrefixChanged(int prefixIndex);

private:
    int minimumBytes = 0;
    int maximumBytes = 2147483647;
    int unitFactor = 1;
};
