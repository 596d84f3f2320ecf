#include "app/tageditors/uniformtageditorwidget.h"

#include "libcore/util/commonvariantvalue.h"
#include "libtagging/model/tagitem.h"

UniformTagEditorWidget::UniformTagEditorWidget(int itemType, int mode, QWidget *parent)
    : TagEditorWidget(itemType, mode, parent)
{
}

void UniformTagEditorWidget::setRowEditing(int row, bool editing)
{
    if (row >= 0 && row < rowEditing.size() && rowEditing.at(row) != editing)
        toggleRowEditing(row);
}

void UniformTagEditorWidget::updateGui()
{
    TagEditorWidget::updateGui();
    rowEditing.clear();
    for (int row = 0; row < rowCount(); ++row) {
        CommonVariantValue common;
        bool differs = false;
        for (AudioFile *file : files()) {
            const TagItem *item = itemsByFile.value(file).value(row);
            if (common.add(item ? item->toVariant() : QVariant())) {
                differs = true;
                break;
            }
        }
        rowEditing.append(!differs);
    }
}

void UniformTagEditorWidget::insertRow(const TagItem *item, int row)
{
    TagEditorWidget::insertRow(item, row);
    rowEditing.insert(qBound(0, row, int(rowEditing.size())), true);
}

void UniformTagEditorWidget::onRowRemoved(int row)
{
    TagEditorWidget::onRowRemoved(row);
    if (row >= 0 && row < rowEditing.size())
        rowEditing.removeAt(row);
}

bool UniformTagEditorWidget::isRowModified(AudioFile *file, int row) const
{
    Q_UNUSED(file)
    return rowEditing.value(row);
}

void UniformTagEditorWidget::toggleRowEditing(int row)
{
    if (row >= 0 && row < rowEditing.size())
        rowEditing[row] = !rowEditing.at(row);
}
