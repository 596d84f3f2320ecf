#pragma once

#include <QGroupBox>

class ExtSpinBox;
class QRadioButton;

enum WhatToRemoveTextId : quint32 {
    WhatToRemoveTitleTextId = 3274442981u,
    RemoveAllTextId = 282623312u,
    RemoveFirstTextId = 3963496638u,          // %1 the count
    RemoveLastTextId = 2820645183u,           // %1 the count
    RemoveFromStartRangeTextId = 2865342510u, // %1 and %2 the positions
    RemoveFromEndRangeTextId = 1680962154u,   // %1 and %2 the positions from the end
};

// The range of code points that the text processing dialog overwrites or removes: all,
// the first or last n, or positions counted from the start or from the end (1-based,
// inclusive, in either order). The range is [rangeStart, rangeEnd) and never runs past the
// text or backwards.
class WhatToRemoveGroupBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit WhatToRemoveGroupBox(QWidget *parent = nullptr);
    ~WhatToRemoveGroupBox() override;

    int rangeStart(const QString &text) const;
    int rangeEnd(const QString &text) const;

    QRadioButton *allButton = nullptr;
    QRadioButton *firstButton = nullptr;
    QRadioButton *lastButton = nullptr;
    QRadioButton *fromStartButton = nullptr;
    QRadioButton *fromEndButton = nullptr;
    ExtSpinBox *firstSpinBox = nullptr;
    ExtSpinBox *lastSpinBox = nullptr;
    ExtSpinBox *fromStartSpinBox1 = nullptr;
    ExtSpinBox *fromStartSpinBox2 = nullptr;
    ExtSpinBox *fromEndSpinBox1 = nullptr;
    ExtSpinBox *fromEndSpinBox2 = nullptr;

public Q_SLOTS:
    void updateGui();

private:
    void range(const QString &text, int *start, int *end) const;
};
