#pragma once

#include "app/tageditors/linetageditorwidget.h"

// Edits whole numbers from 0 up; 0 (an empty field) means no value.
class IntegerTagEditorWidget : public LineTagEditorWidget
{
    Q_OBJECT
public:
    IntegerTagEditorWidget(int itemType, int mode, QWidget *parent = nullptr);

protected:
    QWidget *createInputWidget(QWidget *parent) override;
    void setInputItems(QWidget *input, const QList<TagItem *> &items, bool uniform) override;
    bool isInputEmpty(QWidget *input) const override;
    void writeInput(TagItem *item, QWidget *input) override;
};
