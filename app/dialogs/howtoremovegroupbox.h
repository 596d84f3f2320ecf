#pragma once

#include <QGroupBox>

class QRadioButton;

enum HowToRemoveTextId : quint32 {
    HowToRemoveTitleTextId = 1032414404u,
    RemoveRangeTextId = 1481051412u,
    KeepRangeTextId = 214528344u,
};

// Whether the text processing dialog removes the chosen range or keeps only it.
class HowToRemoveGroupBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit HowToRemoveGroupBox(QWidget *parent = nullptr);
    ~HowToRemoveGroupBox() override;

    bool removesRange() const;

    QRadioButton *removeButton = nullptr;
    QRadioButton *keepButton = nullptr;
};
