#pragma once

#include <QItemSelection>

#include "app/operations/audiofileselection.h"
#include "libgui/dialogs/commondialog.h"

class AudioFile;
class HowToRemoveGroupBox;
class ModelUpdateOperation;
class OperationQueue;
class QMimeData;
class WhatToInsertGroupBox;
class WhatToRemoveGroupBox;
class WhereToInsertGroupBox;

namespace TextProcessingMode {
enum Id : int {
    Insert = 0,
    Overwrite = 1,
    Remove = 2,
};
}

enum TextProcessingTextId : quint32 {
    InsertTextActionTextId = 3218031371u,
    OverwriteTextActionTextId = 4262627492u,
    RemoveTextActionTextId = 3750954001u,
    WhatToOverwriteTitleTextId = 3898762490u,
    WhatToRemoveInRemoveModeTitleTextId = 1975459395u,
};

// Inserts, overwrites or removes text in every selected text cell at once; OK applies one
// update operation (none when nothing changes). Positions count code points.
class TextProcessingDialog : public CommonDialog
{
    Q_OBJECT
public:
    TextProcessingDialog(TextProcessingMode::Id mode, const AudioFileSelection &selection, OperationQueue *queue,
                         QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~TextProcessingDialog() override;

    ValidationResult validate() override;

    WhereToInsertGroupBox *whereToInsertBox() const { return m_whereToInsert; }
    HowToRemoveGroupBox *howToRemoveBox() const { return m_howToRemove; }
    WhatToRemoveGroupBox *whatToRemoveBox() const { return m_whatToRemove; }
    WhatToInsertGroupBox *whatToInsertBox() const { return m_whatToInsert; }

    // The new text of one value.
    QString processText(const QString &text, AudioFile *file, int rowOffset, int columnOffset) const;

public Q_SLOTS:
    void updateGui();
    void accept() override;

private:
    void processCell(const QModelIndex &index, int rowOffset, int columnOffset, ModelUpdateOperation *operation);
    // The table's selected cells as few rectangles.
    QItemSelection cellRanges() const;

    TextProcessingMode::Id m_mode;
    AudioFileSelection m_selection;
    OperationQueue *m_queue;
    QMimeData *m_clipboardData = nullptr;
    WhereToInsertGroupBox *m_whereToInsert = nullptr;
    HowToRemoveGroupBox *m_howToRemove = nullptr;
    WhatToRemoveGroupBox *m_whatToRemove = nullptr;
    WhatToInsertGroupBox *m_whatToInsert = nullptr;
};
