#pragma once

#include <QTreeWidget>

// The program's tree: no header, uniform row heights, no editing.
class ExtTreeWidget : public QTreeWidget
{
    Q_OBJECT
public:
    explicit ExtTreeWidget(QWidget *parent = nullptr);
};
