#pragma once

#include <QWidget>

class QLabel;
class QVBoxLayout;

// A column of links under a title, one per visible action of the widget; clicking a link
// triggers its action. Disabled actions show as grey text without a link.
class TaskWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TaskWidget(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    QString title() const;
    void setTitle(const QString &text);
    void updateTasks();

    // While set, every change of the actions rebuilds the rows. Owners adding many actions
    // switch it off and call updateTasks once.
    bool autoUpdate = true;

protected:
    void actionEvent(QActionEvent *event) override;

private:
    QVBoxLayout *entryLayout;
    QLabel *titleLabel;
};
