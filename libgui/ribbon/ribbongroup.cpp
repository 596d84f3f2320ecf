#include "libgui/ribbon/ribbongroup.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QStyleOption>

#include "libgui/layout/layoututil.h"
#include "libgui/ribbon/ribbonbutton.h"

RibbonGroup::RibbonGroup(const QString &title, QWidget *parent) : QWidget(parent), m_title(title)
{
    setStyleSheet(QStringLiteral(".RibbonGroup {border: 1px solid #bac9db;border-radius: 3px;}"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    grid = new QGridLayout();
    grid->setContentsMargins(4, 4, 4, 0);
    grid->setSpacing(0);
    column->addLayout(grid, 0);

    auto *label = new QLabel(QStringLiteral(" %1 ").arg(m_title), this);
    label->setAlignment(Qt::AlignCenter);
    label->setFixedHeight(label->fontMetrics().height() + 6);
    QString sheet = QStringLiteral(
        "QLabel {background-color: #c9e0f7;border: 1px solid #bac9db;border-top: none;"
        "border-bottom-left-radius: 3px;border-bottom-right-radius: 3px;"
        "font-size: $labelFontSize;}");
    sheet.replace(QStringLiteral("$labelFontSize"),
                  QStringLiteral("%1pt").arg(QApplication::font().pointSize() - 1));
    label->setStyleSheet(sheet);
    column->addWidget(label, 0);
}

void RibbonGroup::addButton(RibbonButton *button)
{
    buttons.append(button);
    updateWidthLimits();
}

void RibbonGroup::insertButton(int index, RibbonButton *button)
{
    buttons.insert(qBound(0, index, int(buttons.size())), button);
    updateWidthLimits();
}

void RibbonGroup::removeButton(int index)
{
    if (index >= 0 && index < buttons.size())
        buttons.removeAt(index);
    updateWidthLimits();
}

void RibbonGroup::setRowsPerColumn(int rows)
{
    m_rowsPerColumn = qMax(1, rows);
    updateWidthLimits();
}

int RibbonGroup::shrinkableWidth() const
{
    return sizeHint().width() - minimumWidth();
}

int RibbonGroup::expandableWidth() const
{
    return maximumWidth() - sizeHint().width();
}

void RibbonGroup::collapse()
{
    if (collapsed)
        return;
    collapsed = true;
    for (RibbonButton *button : std::as_const(buttons))
        button->compact();
    relayout();
    setMinimumWidth(sizeHint().width());
}

void RibbonGroup::expand()
{
    if (!collapsed)
        return;
    collapsed = false;
    for (RibbonButton *button : std::as_const(buttons))
        button->restoreSizeMode();
    relayout();
    setMaximumWidth(sizeHint().width());
}

void RibbonGroup::updateWidthLimits()
{
    if (collapsed) {
        expand();
        collapse();
    } else {
        collapse();
        expand();
    }
}

void RibbonGroup::relayout()
{
    while (QLayoutItem *item = grid->takeAt(0))
        delete item;
    int row = 0;
    int column = 0;
    for (RibbonButton *button : std::as_const(buttons)) {
        const int mode = button->sizeMode();
        const bool small = collapsed ? mode == 2 : mode >= 2;
        Qt::Alignment alignment = Qt::AlignHCenter | Qt::AlignTop;
        if (mode == 3)
            alignment = Qt::AlignCenter;
        else if (mode == 2)
            alignment = Qt::AlignLeft | Qt::AlignVCenter;
        if (small) {
            if (row + 1 > m_rowsPerColumn) {
                ++column;
                row = 0;
            }
            grid->addWidget(button, row, column, 1, 1, alignment);
            ++row;
        } else {
            if (row > 0) {
                ++column;
                row = 0;
            }
            grid->addWidget(button, 0, column, m_rowsPerColumn, 1, alignment);
            row = m_rowsPerColumn;
        }
        button->show();
    }
    refreshWidgetLayouts(this);
}

void RibbonGroup::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
