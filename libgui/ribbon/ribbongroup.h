#pragma once

#include <QList>
#include <QWidget>

class QGridLayout;
class RibbonButton;

// A titled box of ribbon buttons. Expanded, large buttons take a column of their own and
// small ones stack rowsPerColumn to a column; collapsed, every button shows its compact form
// side by side. The minimum width is the collapsed width and the maximum width the expanded
// one, so the page can tell how much a group can give or take.
class RibbonGroup : public QWidget
{
    Q_OBJECT
public:
    explicit RibbonGroup(const QString &title, QWidget *parent = nullptr);

    QString title() const { return m_title; }
    int rowsPerColumn() const { return m_rowsPerColumn; }
    bool isCollapsed() const { return collapsed; }
    int buttonCount() const { return int(buttons.size()); }
    RibbonButton *button(int index) const { return buttons.value(index); }

    void addButton(RibbonButton *button);
    void insertButton(int index, RibbonButton *button);
    // The button stays a child of the group but is no longer laid out.
    void removeButton(int index);
    void setRowsPerColumn(int rows);

    int shrinkableWidth() const;
    int expandableWidth() const;

    void collapse();
    void expand();
    void updateWidthLimits();
    void relayout();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QGridLayout *grid;
    QString m_title;
    QList<RibbonButton *> buttons;
    int m_rowsPerColumn = 3;
    bool collapsed = false;
};
