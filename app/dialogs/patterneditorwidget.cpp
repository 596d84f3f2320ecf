#include "app/dialogs/patterneditorwidget.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSpacerItem>
#include <QToolButton>

#include "libgui/icons/icons.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/layout/layoututil.h"

PatternEditorWidget::PatternEditorWidget(bool multiRow, QWidget *parent)
    : QWidget(parent), m_grid(new QGridLayout(this)), m_multiRow(multiRow)
{
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setColumnStretch(0, 1);
}

PatternEditorWidget::~PatternEditorWidget()
{
    qDeleteAll(m_rows);
}

void PatternEditorWidget::conceal(bool on)
{
    setWidgetConcealed(this, on);
}

int PatternEditorWidget::editableRowCount() const
{
    int count = 0;
    for (const PatternEditorRow *row : m_rows)
        count += row->fixed ? 0 : 1;
    return count;
}

PatternEditorRow *PatternEditorWidget::createRow(bool fixed)
{
    auto *row = new PatternEditorRow;
    row->fixed = fixed;
    // Removed rows leave their grid index unused.
    row->gridRow = m_grid->count() == 0 ? 0 : m_grid->rowCount();
    m_grid->setRowMinimumHeight(row->gridRow, defaultIconSize());
    row->mainLayout = new QHBoxLayout;
    m_grid->addLayout(row->mainLayout, row->gridRow, 0, Qt::AlignLeft);
    row->indentSpacer = new QSpacerItem(0, 0);
    row->mainLayout->addSpacerItem(row->indentSpacer);
    row->iconLabel = new QLabel;
    row->mainLayout->addWidget(row->iconLabel);
    row->sideLayout = new QHBoxLayout;
    m_grid->addLayout(row->sideLayout, row->gridRow, 1, Qt::AlignLeft);
    if (!fixed && m_multiRow) {
        auto *button = new QToolButton;
        if (editableRowCount() == 0) {
            button->setIcon(loadIcon(QStringLiteral("add")));
            button->setToolTip(upperCaseFirst(textForId(PatternAddLevelTextId)));
            connect(button, &QToolButton::clicked, this, &PatternEditorWidget::onAddButtonClicked);
        } else {
            button->setIcon(loadIcon(QStringLiteral("remove")));
            button->setToolTip(upperCaseFirst(textForId(PatternRemoveLevelTextId)));
            connect(button, &QToolButton::clicked, this, &PatternEditorWidget::onRemoveButtonClicked);
        }
        row->sideLayout->addWidget(button);
    }
    return row;
}

QWidget *PatternEditorWidget::addRow()
{
    if (!m_multiRow && !m_rows.isEmpty())
        return nullptr;
    conceal(true);
    PatternEditorRow *row = createRow(false);
    QWidget *focus = createRowEditor(row->mainLayout, row->sideLayout);
    m_rows.append(row);
    updateRows();
    conceal(false);
    Q_EMIT patternChanged();
    return focus;
}

void PatternEditorWidget::addFixedRow(QWidget *first, const QList<QWidget *> &others)
{
    if (!m_multiRow && !m_rows.isEmpty())
        return;
    conceal(true);
    PatternEditorRow *row = createRow(true);
    row->mainLayout->addWidget(first);
    for (QWidget *widget : others)
        row->sideLayout->addWidget(widget);
    m_rows.append(row);
    updateRows();
    conceal(false);
}

void PatternEditorWidget::removeRow(int position)
{
    if (position < 0 || position >= m_rows.size())
        return;
    conceal(true);
    PatternEditorRow *row = m_rows.at(position);
    if (!row->fixed) {
        int before = 0;
        for (int i = 0; i < position; ++i)
            before += m_rows.at(i)->fixed ? 0 : 1;
        removeRowEditor(before);
    }
    removeGridRow(m_grid, row->gridRow, true);
    delete row;
    m_rows.removeAt(position);
    updateRows();
    conceal(false);
    Q_EMIT patternChanged();
}

QWidget *PatternEditorWidget::setRowCount(int count)
{
    for (int position = int(m_rows.size()) - 1; position >= 0; --position) {
        if (!m_rows.at(position)->fixed)
            removeRow(position);
    }
    QWidget *last = nullptr;
    for (int i = 0; i < qMax(count, 1); ++i)
        last = addRow();
    return last;
}

void PatternEditorWidget::setIndent(int pixels)
{
    m_indent = pixels;
    updateRows();
}

void PatternEditorWidget::setIcon(const QIcon &icon)
{
    m_icon = icon;
    updateRows();
}

void PatternEditorWidget::updateRows()
{
    for (int i = 0; i < m_rows.size(); ++i) {
        PatternEditorRow *row = m_rows.at(i);
        row->indentSpacer->changeSize(i * m_indent, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
        row->iconLabel->setVisible(!m_icon.isNull());
        if (!m_icon.isNull())
            row->iconLabel->setPixmap(m_icon.pixmap(16, 16, QIcon::Normal, QIcon::Off));
    }
    m_grid->invalidate();
}

void PatternEditorWidget::onAddButtonClicked()
{
    if (!validate())
        return;
    QWidget *widget = addRow();
    if (!widget)
        return;
    for (QWidget *p = widget->parentWidget(); p; p = p->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(p)) {
            ensureWidgetVisible(area, widget, 10, 10);
            break;
        }
    }
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        combo->showPopup();
    widget->setFocus(Qt::OtherFocusReason);
}

void PatternEditorWidget::onRemoveButtonClicked()
{
    auto *button = qobject_cast<QWidget *>(sender());
    if (!button)
        return;
    for (int position = 0; position < m_rows.size(); ++position) {
        QHBoxLayout *side = m_rows.at(position)->sideLayout;
        if (side->indexOf(button) >= 0) {
            removeRow(position);
            return;
        }
    }
}
