#pragma once

#include <QList>
#include <QString>

class ExtSpinBox;
class QRadioButton;
class QVBoxLayout;

// One option row of a group box: a radio button whose sentence holds spin boxes where its
// text has "%1", "%2" ... The radio button's clicked(bool) goes to the slot updateGui() of
// the layout's parent widget. `spinBoxes` receives the row's spin boxes ordered by their
// placeholder number, whatever their order in the sentence; each runs 1 to INT_MAX.
QRadioButton *createOptionRow(QVBoxLayout *layout, const QString &text, QList<ExtSpinBox *> &spinBoxes);
