#include "app/dialogs/whattoremovegroupbox.h"

#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/optionrow.h"
#include "libcore/text/codepointstring.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/numbers/extspinbox.h"

namespace {
int spinValue(const ExtSpinBox *spinBox)
{
    return spinBox ? spinBox->value() : 1;
}
} // namespace

WhatToRemoveGroupBox::WhatToRemoveGroupBox(QWidget *parent) : QGroupBox(parent)
{
    setTitle(upperCaseFirst(textForId(WhatToRemoveTitleTextId)));
    auto *layout = new QVBoxLayout(this);
    QList<ExtSpinBox *> spinBoxes;
    allButton = createOptionRow(layout, upperCaseFirst(textForId(RemoveAllTextId)), spinBoxes);
    allButton->setChecked(true);
    firstButton = createOptionRow(layout, upperCaseFirst(textForId(RemoveFirstTextId)), spinBoxes);
    firstSpinBox = spinBoxes.value(0);
    lastButton = createOptionRow(layout, upperCaseFirst(textForId(RemoveLastTextId)), spinBoxes);
    lastSpinBox = spinBoxes.value(0);
    fromStartButton = createOptionRow(layout, upperCaseFirst(textForId(RemoveFromStartRangeTextId)), spinBoxes);
    fromStartSpinBox1 = spinBoxes.value(0);
    fromStartSpinBox2 = spinBoxes.value(1);
    fromEndButton = createOptionRow(layout, upperCaseFirst(textForId(RemoveFromEndRangeTextId)), spinBoxes);
    fromEndSpinBox1 = spinBoxes.value(0);
    fromEndSpinBox2 = spinBoxes.value(1);
    updateGui();
}

WhatToRemoveGroupBox::~WhatToRemoveGroupBox() = default;

void WhatToRemoveGroupBox::updateGui()
{
    const auto enable = [](ExtSpinBox *spinBox, bool enabled) {
        if (spinBox)
            spinBox->setEnabled(enabled);
    };
    enable(firstSpinBox, firstButton->isChecked());
    enable(lastSpinBox, lastButton->isChecked());
    enable(fromStartSpinBox1, fromStartButton->isChecked());
    enable(fromStartSpinBox2, fromStartButton->isChecked());
    enable(fromEndSpinBox1, fromEndButton->isChecked());
    enable(fromEndSpinBox2, fromEndButton->isChecked());
}

void WhatToRemoveGroupBox::range(const QString &text, int *start, int *end) const
{
    // 64-bit sums: the spin boxes run up to INT_MAX.
    const qint64 n = codePointLength(text);
    qint64 a = 0, b = n;
    if (firstButton->isChecked()) {
        b = qMin<qint64>(spinValue(firstSpinBox), n);
    } else if (lastButton->isChecked()) {
        a = qMax<qint64>(0, n - spinValue(lastSpinBox));
    } else if (fromStartButton->isChecked()) {
        const qint64 p1 = spinValue(fromStartSpinBox1), p2 = spinValue(fromStartSpinBox2);
        a = qMin(n, qMin(p1, p2) - 1);
        b = qMin(n, qMax(p1, p2));
    } else if (fromEndButton->isChecked()) {
        const qint64 q1 = spinValue(fromEndSpinBox1), q2 = spinValue(fromEndSpinBox2);
        a = qMax<qint64>(0, n - qMax(q1, q2));
        b = qMax<qint64>(0, n + 1 - qMin(q1, q2));
    }
    *start = int(qMin(a, b));
    *end = int(b);
}

int WhatToRemoveGroupBox::rangeStart(const QString &text) const
{
    int start = 0, end = 0;
    range(text, &start, &end);
    return start;
}

int WhatToRemoveGroupBox::rangeEnd(const QString &text) const
{
    int start = 0, end = 0;
    range(text, &start, &end);
    return end;
}
