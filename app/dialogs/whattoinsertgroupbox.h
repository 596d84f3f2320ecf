#pragma once

#include <QGroupBox>
#include <QList>
#include <QItemSelection>

#include "libgui/dialogs/validation.h"

class AdvancedPatternEditorWidget;
class AudioFile;
class ExtLineEdit;
class ExtSpinBox;
class QMimeData;
class QRadioButton;
class QWidget;
class SimplePatternEditorWidget;

enum WhatToInsertTextId : quint32 {
    WhatToInsertTitleTextId = 3660963500u,
    InsertTextTextId = 3671801498u,
    InsertSimplePatternTextId = 1008249073u,
    InsertAdvancedPatternTextId = 3048756198u,
    InsertClipboardTextId = 95734798u,
    InsertCounterTextId = 2018772643u,
    CounterStartTextId = 3872523979u,
    CounterStepTextId = 1748620916u,
    CounterDigitsTextId = 341492221u,
    NoClipboardTextTextId = 2593672819u,
    ClipboardNeedsRectangleTextId = 2502053795u,
    CounterNeedsColumnTextId = 323192875u,
};

// What the text processing dialog inserts (or overwrites with) in one cell: typed text, a
// tag-script pattern evaluated for the file, the clipboard's text for the cell (a grid of
// cells is repeated across the selection), or a counter down the rows.
class WhatToInsertGroupBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit WhatToInsertGroupBox(QWidget *parent = nullptr);
    ~WhatToInsertGroupBox() override;

    // The row and column offsets count from 0 within the selection rectangle.
    QString textToInsert(AudioFile *file, const QMimeData *clipboard, int rowOffset, int columnOffset) const;
    bool insertsClipboardText() const;
    // Errors for clipboard contents that give no text and for selections that a clipboard
    // grid or a counter cannot fill.
    QList<ValidationMessage> validate(const QItemSelection &cells, const QMimeData *clipboard) const;

    // The counter's text for a row: the sign first, then the magnitude padded with zeros.
    static QString counterText(qint64 value, int digits);
    static QString clipboardTextAt(const QMimeData *clipboard, int rowOffset, int columnOffset);

    QRadioButton *textButton = nullptr;
    QRadioButton *simplePatternButton = nullptr;
    QRadioButton *advancedPatternButton = nullptr;
    QRadioButton *clipboardButton = nullptr;
    QRadioButton *counterButton = nullptr;
    ExtLineEdit *textEdit = nullptr;
    SimplePatternEditorWidget *simplePatternEditor = nullptr;
    AdvancedPatternEditorWidget *advancedPatternEditor = nullptr;
    ExtSpinBox *counterStartSpinBox = nullptr;
    ExtSpinBox *counterStepSpinBox = nullptr;
    ExtSpinBox *counterDigitsSpinBox = nullptr;

Q_SIGNALS:
    void insertModeChanged();

public Q_SLOTS:
    void updateGui();

private:
    // The script of the checked pattern editor: its levels' parts joined without separators.
    QString patternScript() const;
};
