#pragma once

#include <QFontMetrics>
#include <functional>
#include <QIcon>
#include <QMargins>
#include <QSize>
#include <QString>

class QAbstractButton;
class QAbstractScrollArea;
class QGridLayout;
class QLabel;
class QLayout;
class QLayoutItem;
class QScrollArea;
class QVBoxLayout;
class QWidget;

// Free helpers over Qt layouts and widgets. They keep no state; GUI thread only.

// The minimum width of a new empty button of the same kind (check box, push button, radio
// button, tool button; 0 for others) with the button's own size-hint height: word-wrapped
// buttons may shrink to their indicator but keep their height.
QSize minimumButtonSizeHint(const QAbstractButton *button);

// The item count, except 0 for a main window's own layout, whose items are the window's
// docks and bars and must never be cleared or walked.
int layoutItemCount(const QLayout *layout);

// Deletes the widgets of the item and of every layout nested in it; keeps items and layouts.
void deleteLayoutItemWidgets(QLayoutItem *item);

// Takes every item out of the grid whose row span holds row or whose column span holds
// column (-1 matches nothing) and deletes it, its widgets too when asked.
void removeGridCells(QGridLayout *grid, int row, int column, bool deleteWidgets);
void removeGridRow(QGridLayout *grid, int row, bool deleteWidgets);
void removeGridColumn(QGridLayout *grid, int column, bool deleteWidgets);

// Invalidates every item of the layout and its nested layouts, then re-activates it.
void invalidateLayoutTree(QLayout *layout);

// The layout among this one and its nested layouts (depth first) that holds the widget
// directly; null when none does.
QLayout *findLayoutContaining(const QWidget *widget, QLayout *layout);
QLayout *parentLayoutOf(const QWidget *widget);

// An expanding spacer after the last column (horizontal) or below the last row.
void addGridSpacer(QGridLayout *grid, bool horizontal);

// Takes out and deletes every item (and the widgets when asked); a grid's row and column
// minimums and stretches return to 0.
void clearLayout(QLayout *layout, bool deleteWidgets);

// A vertical box layout without margins holding the widget; the caller sets it on a parent.
QVBoxLayout *wrapInLayout(QWidget *widget);

// Re-activates the layouts of the widget's whole tree, children first.
void refreshWidgetLayouts(QWidget *widget);

void setLayoutWidgetsEnabled(QLayout *layout, bool enabled);

// Hides a widget for a rebuild and brings it back afterwards; a widget that was hidden
// before stays hidden. Windows are left alone.
void setWidgetConcealed(QWidget *widget, bool conceal);

QMargins layoutMargins();
// The indentation of a widget that belongs under a radio button's or check box's text.
QMargins radioButtonIndent();
QMargins checkBoxIndent();

// Table views: columns to their contents, keeping a stretched last section one pixel wider
// than its contents; tree and header views: sections to their contents.
void fitViewColumnsToContents(QWidget *view);

// Whether target is widget or one of its ancestors, also through focus proxies.
bool isInWidgetChain(const QWidget *target, const QWidget *widget);

// Breaks text into lines no wider than width pixels, at whitespace and after hyphens;
// a word wider than the limit stands alone on its line. width <= 0 changes nothing.
QString wrapText(const QString &text, const QFontMetrics &metrics, int width);
// The same with the measure as a function, so the breaking is testable without fonts.
QString wrapText(const QString &text, const std::function<int(const QString &)> &measure, int width);

// Scrolls the area so the widget is visible, its top-left corner winning when it is larger
// than the viewport.
void ensureWidgetVisible(QScrollArea *area, QWidget *widget, int xMargin, int yMargin);

QLabel *createIconLabel(const QIcon &icon, int size, QWidget *parent);

// Two synthetic moves (at the origin, then at the cursor) that refresh hover highlighting
// after contents changed under a resting cursor.
void sendMouseMoveEvent(QWidget *widget);

// Three quarters of a length as QSize arithmetic computes it: x 3 rounded, then x 0.25
// rounded (1366 gives 1025).
int threeQuarters(int length);

// The first-show size of a dialog: its hint, at least 200 x 200, at most three quarters
// of the screen.
QSize firstShowDialogSize(const QSize &hint, const QSize &screen);
