#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include "app/tageditors/tageditorwidget.h"

class AppMainWindow;
class ExtLineEdit;

// The program's main window for window tests: empty configuration folders of the test's
// own, the packages mounted, English, the item types registered and the defaults loaded.
// The window is the process's one and is never destroyed.
AppMainWindow *testMainWindow();

// A one-line in-place editor for string items: Return finishes, Escape cancels. Registered
// for the string data type in every mode; the real editors are not needed for the table's
// routing.
class LineTestEditor : public TagEditorWidget
{
    Q_OBJECT
public:
    LineTestEditor(int itemType, int mode, QWidget *parent = nullptr);
    ExtLineEdit *line;

protected:
    void updateGui() override;
    bool isRowModified(AudioFile *file, int row) const override;
    bool isRowEmpty(AudioFile *file, int row) const override;
    void writeRow(TagItem *item, AudioFile *file, int row) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString loadedText;
};
void registerLineTestEditor();

// Answers the next message box (or other modal dialog) that opens within the time with the
// button; the texts of the boxes answered are appended to `texts` when given.
void answerNextModal(QMessageBox::StandardButton button, QStringList *texts = nullptr, int withinMs = 5000);
