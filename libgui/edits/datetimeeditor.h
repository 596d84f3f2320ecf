#pragma once

#include "libcore/util/partialdatetime.h"
#include "libgui/edits/extlineedit.h"

class DateTimeValidator;

// A line edit for partial dates and times. While focused it shows the frame
// "____-__-__ __:__:__", guides the typing field by field and names the field at the cursor
// in a tip; without the focus it shows the value cut at its first unknown part.
class DateTimeEditor : public ExtLineEdit
{
    Q_OBJECT
public:
    explicit DateTimeEditor(QWidget *parent = nullptr);

    PartialDateTime value() const;
    void setValue(const PartialDateTime &value);
    // Whether Escape, Return and Enter close the tip and are swallowed by it.
    void setTipInterceptsKeys(bool intercept) { tipInterceptsKeys = intercept; }

    DateTimeValidator *validator;

private Q_SLOTS:
    void onCursorPositionChanged(int oldPos, int newPos);
    void onFocusReceived();
    void onFocusLost();

private:
    void setEditing(bool editing);

    bool tipInterceptsKeys = true;
};
