#include "libgui/layout/layoututil.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSet>
#include <QSpacerItem>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "libcore/text/codepoint.h"
#include "libcore/text/codepointiterator.h"

QSize minimumButtonSizeHint(const QAbstractButton *button)
{
    int width = 0;
    if (qobject_cast<const QCheckBox *>(button))
        width = QCheckBox().minimumSizeHint().width();
    else if (qobject_cast<const QPushButton *>(button))
        width = QPushButton().minimumSizeHint().width();
    else if (qobject_cast<const QRadioButton *>(button))
        width = QRadioButton().minimumSizeHint().width();
    else if (qobject_cast<const QToolButton *>(button))
        width = QToolButton().minimumSizeHint().width();
    return QSize(width, button->sizeHint().height());
}

int layoutItemCount(const QLayout *layout)
{
    if (qstrcmp(layout->metaObject()->className(), "QMainWindowLayout") == 0)
        return 0;
    return layout->count();
}

void deleteLayoutItemWidgets(QLayoutItem *item)
{
    if (!item)
        return;
    if (QLayout *layout = item->layout()) {
        for (int i = 0; i < layoutItemCount(layout); ++i)
            deleteLayoutItemWidgets(layout->itemAt(i));
    }
    delete item->widget();
}

void removeGridCells(QGridLayout *grid, int row, int column, bool deleteWidgets)
{
    for (int i = grid->count() - 1; i >= 0; --i) {
        int r = 0, c = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(i, &r, &c, &rowSpan, &columnSpan);
        const bool inRow = row >= 0 && row >= r && row < r + rowSpan;
        const bool inColumn = column >= 0 && column >= c && column < c + columnSpan;
        if (!inRow && !inColumn)
            continue;
        QLayoutItem *item = grid->takeAt(i);
        if (deleteWidgets)
            deleteLayoutItemWidgets(item);
        delete item;
    }
}

void removeGridRow(QGridLayout *grid, int row, bool deleteWidgets)
{
    removeGridCells(grid, row, -1, deleteWidgets);
    grid->setRowMinimumHeight(row, 0);
    grid->setRowStretch(row, 0);
}

void removeGridColumn(QGridLayout *grid, int column, bool deleteWidgets)
{
    removeGridCells(grid, -1, column, deleteWidgets);
    grid->setColumnMinimumWidth(column, 0);
    grid->setColumnStretch(column, 0);
}

void invalidateLayoutTree(QLayout *layout)
{
    if (!layout)
        return;
    for (int i = 0; i < layoutItemCount(layout); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (QLayout *nested = item->layout())
            invalidateLayoutTree(nested);
        else
            item->invalidate();
    }
    layout->invalidate();
    layout->activate();
}

QLayout *findLayoutContaining(const QWidget *widget, QLayout *layout)
{
    if (!widget || !layout)
        return nullptr;
    for (int i = 0; i < layoutItemCount(layout); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (item->widget() == widget)
            return layout;
        if (QLayout *found = findLayoutContaining(widget, item->layout()))
            return found;
    }
    return nullptr;
}

QLayout *parentLayoutOf(const QWidget *widget)
{
    if (!widget || !widget->parentWidget())
        return nullptr;
    return findLayoutContaining(widget, widget->parentWidget()->layout());
}

void addGridSpacer(QGridLayout *grid, bool horizontal)
{
    const bool empty = grid->count() == 0;
    if (horizontal)
        grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), 0,
                      empty ? 0 : grid->columnCount());
    else
        grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      empty ? 0 : grid->rowCount(), 0);
}

void clearLayout(QLayout *layout, bool deleteWidgets)
{
    if (!layout)
        return;
    for (int i = layoutItemCount(layout) - 1; i >= 0; --i) {
        QLayoutItem *item = layout->takeAt(i);
        if (!item)
            continue;
        if (deleteWidgets)
            deleteLayoutItemWidgets(item);
        delete item;
    }
    if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
        for (int r = 0; r < grid->rowCount(); ++r) {
            grid->setRowMinimumHeight(r, 0);
            grid->setRowStretch(r, 0);
        }
        for (int c = 0; c < grid->columnCount(); ++c) {
            grid->setColumnMinimumWidth(c, 0);
            grid->setColumnStretch(c, 0);
        }
    }
}

QVBoxLayout *wrapInLayout(QWidget *widget)
{
    auto *layout = new QVBoxLayout();
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(widget);
    return layout;
}

void refreshWidgetLayouts(QWidget *widget)
{
    if (!widget)
        return;
    for (QObject *child : widget->children()) {
        if (child->isWidgetType())
            refreshWidgetLayouts(static_cast<QWidget *>(child));
    }
    if (widget->layout())
        invalidateLayoutTree(widget->layout());
    widget->updateGeometry();
}

void setLayoutWidgetsEnabled(QLayout *layout, bool enabled)
{
    if (!layout)
        return;
    for (int i = 0; i < layoutItemCount(layout); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (QWidget *w = item->widget())
            w->setEnabled(enabled);
        else if (QLayout *nested = item->layout())
            setLayoutWidgetsEnabled(nested, enabled);
    }
}

void setWidgetConcealed(QWidget *widget, bool conceal)
{
    if (!widget || widget->isWindow())
        return;
    if (conceal) {
        if (widget->testAttribute(Qt::WA_WState_Hidden)) {
            widget->setAttribute(Qt::WA_DontShowOnScreen, true);
        } else {
            widget->setAttribute(Qt::WA_WState_Visible, false);
            widget->setVisible(false);
        }
    } else if (widget->testAttribute(Qt::WA_DontShowOnScreen)) {
        widget->setAttribute(Qt::WA_DontShowOnScreen, false);
    } else {
        widget->setVisible(true);
    }
}

QMargins layoutMargins()
{
    QStyle *style = QApplication::style();
    return QMargins(style->pixelMetric(QStyle::PM_LayoutLeftMargin),
                    style->pixelMetric(QStyle::PM_LayoutTopMargin),
                    style->pixelMetric(QStyle::PM_LayoutRightMargin),
                    style->pixelMetric(QStyle::PM_LayoutBottomMargin));
}

QMargins radioButtonIndent()
{
    QStyle *style = QApplication::style();
    return QMargins(style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)
                        + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing),
                    0, 0, 0);
}

QMargins checkBoxIndent()
{
    QStyle *style = QApplication::style();
    return QMargins(style->pixelMetric(QStyle::PM_IndicatorWidth)
                        + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing),
                    0, 0, 0);
}

void fitViewColumnsToContents(QWidget *view)
{
    if (!view)
        return;
    if (auto *table = qobject_cast<QTableView *>(view)) {
        QHeaderView *header = table->horizontalHeader();
        const bool stretch = header->stretchLastSection();
        // A stretched section would keep the viewport's width instead of its contents'.
        header->setStretchLastSection(false);
        table->resizeColumnsToContents();
        if (stretch) {
            for (int visual = header->count() - 1; visual >= 0; --visual) {
                const int logical = header->logicalIndex(visual);
                if (header->isSectionHidden(logical))
                    continue;
                table->setColumnWidth(logical, table->columnWidth(logical) + 1);
                break;
            }
            header->setStretchLastSection(true);
        }
    } else if (auto *tree = qobject_cast<QTreeView *>(view)) {
        tree->header()->resizeSections(QHeaderView::ResizeToContents);
    } else if (auto *header = qobject_cast<QHeaderView *>(view)) {
        header->resizeSections(QHeaderView::ResizeToContents);
    }
}

namespace {

bool isInWidgetChain(const QWidget *target, const QWidget *widget, QSet<const QWidget *> &visited)
{
    for (const QWidget *current = widget; current; current = current->focusProxy()) {
        if (visited.contains(current))
            return false;
        if (current == target)
            return true;
        visited.insert(current);
        if (isInWidgetChain(target, qobject_cast<const QWidget *>(current->parent()), visited))
            return true;
    }
    return false;
}

} // namespace

bool isInWidgetChain(const QWidget *target, const QWidget *widget)
{
    if (!target)
        return false;
    QSet<const QWidget *> visited;
    return isInWidgetChain(target, widget, visited);
}

QString wrapText(const QString &text, const QFontMetrics &metrics, int width)
{
    return wrapText(text, [&metrics](const QString &s) { return metrics.horizontalAdvance(s); },
                    width);
}

QString wrapText(const QString &text, const std::function<int(const QString &)> &measure, int width)
{
    if (width <= 0)
        return text;
    QString result;
    QString line;
    QString word;
    auto flushWord = [&] {
        if (word.isEmpty())
            return;
        if (line.isEmpty()) {
            line = word;
        } else if (measure(line + word.trimmed()) > width) {
            result += line.trimmed() + QLatin1Char('\n');
            line = word;
        } else {
            line += word;
        }
        word.clear();
    };
    CodePointIterator it(text);
    while (it.hasNext()) {
        const int start = it.position;
        const CodePoint cp = it.next();
        word += QStringView(text).mid(start, it.position - start);
        if (cp.isSpace() || cp.value() == '-')
            flushWord();
    }
    flushWord();
    result += line.trimmed();
    return result.trimmed();
}

void ensureWidgetVisible(QScrollArea *area, QWidget *widget, int xMargin, int yMargin)
{
    if (!area || !widget || !area->widget())
        return;
    QEvent request(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(area, &request);
    const QPoint bottomRight = widget->mapTo(area->widget(), QPoint(widget->width(), widget->height()));
    area->ensureVisible(bottomRight.x(), bottomRight.y(), xMargin, yMargin);
    const QPoint topLeft = widget->mapTo(area->widget(), QPoint(0, 0));
    area->ensureVisible(topLeft.x(), topLeft.y(), xMargin, yMargin);
}

QLabel *createIconLabel(const QIcon &icon, int size, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setPixmap(icon.pixmap(QSize(size, size), QIcon::Normal, QIcon::Off));
    return label;
}

void sendMouseMoveEvent(QWidget *widget)
{
    if (!widget)
        return;
    const QPointF origin(0, 0);
    QMouseEvent first(QEvent::MouseMove, origin, widget->mapToGlobal(origin), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &first);
    const QPointF cursor = widget->mapFromGlobal(QPointF(QCursor::pos()));
    QMouseEvent second(QEvent::MouseMove, cursor, QPointF(QCursor::pos()), Qt::NoButton,
                       Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &second);
}

int threeQuarters(int length)
{
    // QSize * qreal rounds after each multiplication.
    return qRound(qRound(length * 3.0) * 0.25);
}

QSize firstShowDialogSize(const QSize &hint, const QSize &screen)
{
    const QSize bound(threeQuarters(screen.width()), threeQuarters(screen.height()));
    return hint.expandedTo(QSize(200, 200)).boundedTo(bound);
}
