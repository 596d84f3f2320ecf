#pragma once

#include "app/tageditors/linetageditorwidget.h"

// Edits partial dates and times (a year alone is kept as it is).
class DateTimeTagEditorWidget : public LineTagEditorWidget
{
    Q_OBJECT
public:
    DateTimeTagEditorWidget(int itemType, int mode, QWidget *parent = nullptr);

protected:
    QWidget *createInputWidget(QWidget *parent) override;
    void setInputItems(QWidget *input, const QList<TagItem *> &items, bool uniform) override;
    bool isInputEmpty(QWidget *input) const override;
    void writeInput(TagItem *item, QWidget *input) override;
};
