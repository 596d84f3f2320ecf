#pragma once

#include "app/tageditors/linetageditorwidget.h"

enum BooleanTagEditorWidgetTextId : quint32 {
    YesValueTextId = 1953076731u,
    NoValueTextId = 3748339054u,
};

// Edits yes/no items with a three-entry list: no value, yes, no. Inside the table, choosing
// from the popup ends the edit and dismissing it cancels the edit.
class BooleanTagEditorWidget : public LineTagEditorWidget
{
    Q_OBJECT
public:
    BooleanTagEditorWidget(int itemType, int mode, QWidget *parent = nullptr);

protected:
    QWidget *createInputWidget(QWidget *parent) override;
    void setInputItems(QWidget *input, const QList<TagItem *> &items, bool uniform) override;
    bool isInputEmpty(QWidget *input) const override;
    void writeInput(TagItem *item, QWidget *input) override;

private Q_SLOTS:
    void onPopupHidden(bool activated);
};
