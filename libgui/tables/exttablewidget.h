#pragma once

#include <QTableWidget>

// The program's table widget: single row selection, no editing of its own, no row header,
// fixed row height; signals for the edit key (F2) and for the release of a left double click.
class ExtTableWidget : public QTableWidget
{
    Q_OBJECT
public:
    explicit ExtTableWidget(QWidget *parent = nullptr);
    ExtTableWidget(int rows, int columns, QWidget *parent = nullptr);

    bool eventFilter(QObject *watched, QEvent *event) override;

Q_SIGNALS:
    void cellDoubleClickReleased(int row, int column);
    void cellEditKeyPressed(int row, int column);
    void itemDoubleClickReleased(QTableWidgetItem *item);
    void itemEditKeyPressed(QTableWidgetItem *item);

protected:
    void keyPressEvent(QKeyEvent *event) override;

    bool doubleClickPending = false;

private:
    void setUp();
};

// Whether the key is the platform's edit key: F2, or Return and Enter on platform 1.
bool isEditKey(int key);
