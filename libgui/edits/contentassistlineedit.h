#pragma once

#include <QModelIndex>

#include "libgui/edits/extlineedit.h"
#include "libgui/edits/icontentassistpopup.h"

class QAbstractItemModel;

// A line edit with a completion popup: the popup opens under the place where a completion
// goes, the keyboard moves through it while the line edit keeps the focus, and the chosen
// entry's description shows in a tip beside the popup. The line edit owns the popup.
class ContentAssistLineEdit : public ExtLineEdit
{
    Q_OBJECT
public:
    explicit ContentAssistLineEdit(QWidget *parent = nullptr);
    ContentAssistLineEdit(const QString &text, QWidget *parent = nullptr);

    void setContentAssistPopup(IContentAssistPopup *popup);
    IContentAssistPopup *contentAssistPopup() const { return popup; }
    // On: every edit by the user reopens the popup.
    void setAssistOnEdit(bool on);

    bool eventFilter(QObject *watched, QEvent *event) override;

public Q_SLOTS:
    void showContentAssist();
    void hideContentAssist();

private Q_SLOTS:
    void pickIndex(const QModelIndex &index);
    void showContentTip();

private:
    void setUp();
    QRect cursorRectAt(int position);
    void navigate(int key, Qt::KeyboardModifiers modifiers);
    QAbstractItemView *view() const;

    IContentAssistPopup *popup = nullptr;
    bool assistOnEdit = false;
    bool busy = false;
    bool filterFocusOut = true;
};

// Rows of the model below parent, all levels counted.
int countRows(const QAbstractItemModel *model, const QModelIndex &parent = QModelIndex());

// The popup's geometry for the anchor point (global, under the text position) on a screen
// area: as wide as its hint allows, up to 20 rows high (plus 6 pixels and a horizontal
// scroll bar), below the anchor when it fits, else on the side with more room.
QRect contentAssistPopupGeometry(const QPoint &anchor, const QRect &screen, int hintWidth,
                                 int rowHeight, int rowCount, int scrollBarHeight,
                                 int minimumHeight, int lineEditHeight);
