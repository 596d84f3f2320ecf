#pragma once

#include <QGroupBox>
#include <QList>

class ExtSpinBox;
class QRadioButton;

enum WhereToInsertTextId : quint32 {
    WhereToInsertTitleTextId = 1510344864u,
    InsertAtStartTextId = 1395947308u,
    InsertAfterFromStartTextId = 1915533661u, // %1 the count spin box
    InsertBeforeFromEndTextId = 4216980269u,  // %1 the count spin box
    InsertAtEndTextId = 2017587609u,
};

// Where the text processing dialog inserts: at the start, after n code points, before the
// last n code points, or at the end.
class WhereToInsertGroupBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit WhereToInsertGroupBox(QWidget *parent = nullptr);
    ~WhereToInsertGroupBox() override;

    // The code-point position in the text, clamped to it.
    int position(const QString &text) const;

    QRadioButton *startButton = nullptr;
    QRadioButton *afterFromStartButton = nullptr;
    QRadioButton *beforeFromEndButton = nullptr;
    QRadioButton *endButton = nullptr;
    ExtSpinBox *fromStartSpinBox = nullptr;
    ExtSpinBox *fromEndSpinBox = nullptr;

public Q_SLOTS:
    void updateGui();
};
