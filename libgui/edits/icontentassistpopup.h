#pragma once

#include <QString>

class QAbstractItemView;

// A completion popup for a ContentAssistLineEdit, implemented beside an item view.
class IContentAssistPopup
{
public:
    // The popup's view (the popup object itself).
    virtual QAbstractItemView *contentAssistView() = 0;
    // The data role whose text is inserted when an entry is picked.
    virtual int completionRole() = 0;
    // Refills the popup's model for the line edit's text and cursor.
    virtual void updateContentAssist(const QString &text, int cursorPosition) = 0;
    // Where a picked completion goes; the popup is anchored under it.
    virtual int replaceStart() = 0;
    // How many characters from replaceStart the completion replaces; below 1 inserts.
    virtual int replaceLength() = 0;

protected:
    ~IContentAssistPopup() = default;
};
