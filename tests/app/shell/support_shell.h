#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>


class AppMainWindow;
class ExtLineEdit;

// The program's main window for window tests: empty configuration folders of the test's
// own, the packages mounted, English, the item types registered and the defaults loaded.
// The window is the process's one and is never destroyed.
AppMainWindow *testMainWindow();

// The line edit of the in-place editor open on the cell, or null.
class QTableView;
class QLineEdit;
class QModelIndex;
QLineEdit *inPlaceLine(QTableView *view, const QModelIndex &cell);

// Answers the next message box (or other modal dialog) that opens within the time with the
// button; the texts of the boxes answered are appended to `texts` when given.
void answerNextModal(QMessageBox::StandardButton button, QStringList *texts = nullptr, int withinMs = 5000);
