#pragma once

#include "app/tageditors/linetageditorwidget.h"

// Edits text items, one line per value; a row opened from mixed values completes towards
// the values the files hold, near-duplicates offered once.
class StringTagEditorWidget : public LineTagEditorWidget
{
    Q_OBJECT
public:
    StringTagEditorWidget(int itemType, int mode, QWidget *parent = nullptr);

protected:
    QWidget *createInputWidget(QWidget *parent) override;
    void setInputItems(QWidget *input, const QList<TagItem *> &items, bool uniform) override;
    bool isInputEmpty(QWidget *input) const override;
    void writeInput(TagItem *item, QWidget *input) override;
};
