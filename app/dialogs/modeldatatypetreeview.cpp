#include "app/dialogs/modeldatatypetreeview.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStandardItem>

#include "app/identification/updateset.h"
#include "app/model/datatypemodel.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/combos/extcombobox.h"
#include "libgui/layout/layoututil.h"

namespace {

bool isDataTypeRow(const QStandardItem *item)
{
    return item && item->data(DataTypeModel::DataTypeRole).isValid();
}

void makeCheckable(QStandardItem *item)
{
    for (int row = 0; row < item->rowCount(); ++row) {
        if (QStandardItem *child = item->child(row, 0)) {
            child->setCheckable(true);
            makeCheckable(child);
        }
    }
}

void collectChecked(const QStandardItem *item, QList<ModelDataType> &result)
{
    for (int row = 0; row < item->rowCount(); ++row) {
        const QStandardItem *child = item->child(row, 0);
        if (!child)
            continue;
        if (isDataTypeRow(child) && child->checkState() == Qt::Checked)
            result.append(child->data(DataTypeModel::DataTypeRole).value<ModelDataType>());
        collectChecked(child, result);
    }
}

} // namespace

ModelDataTypeTreeView::ModelDataTypeTreeView(const int &viewOptions, const int &modelOptions, QWidget *parent)
    : QTreeView(parent), m_viewOptions(viewOptions), m_modelOptions(modelOptions)
{
    setHeaderHidden(true);
    setUniformRowHeights(true);
}

ModelDataTypeTreeView::~ModelDataTypeTreeView() = default;

void ModelDataTypeTreeView::setDataTypes(const QList<ModelDataType> &types)
{
    auto *model = new DataTypeModel(types, DataTypeModel::Options(m_modelOptions), this);
    if (m_viewOptions & Checkable)
        makeCheckable(model->invisibleRootItem());
    DataTypeModel *previous = m_model;
    m_model = model;
    setModel(model);
    if (m_viewOptions & MergeModeBoxes)
        addComboBoxes(model->invisibleRootItem());
    delete previous;

    expandGroups(model->invisibleRootItem());
    fitViewColumnsToContents(this);

    if (m_viewOptions & Checkable) {
        connect(model, &QStandardItemModel::itemChanged, this, &ModelDataTypeTreeView::onItemChanged);
    } else {
        connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &ModelDataTypeTreeView::selectionChanged);
    }
    Q_EMIT selectionChanged();
}

void ModelDataTypeTreeView::expandGroups(QStandardItem *parent)
{
    for (int row = 0; row < parent->rowCount(); ++row) {
        QStandardItem *child = parent->child(row, 0);
        if (!child || isDataTypeRow(child))
            continue;
        expand(child->index());
        expandGroups(child);
    }
}

QList<ModelDataType> ModelDataTypeTreeView::selectedDataTypes() const
{
    QList<ModelDataType> result;
    if (!m_model)
        return result;
    if (m_viewOptions & Checkable) {
        collectChecked(m_model->invisibleRootItem(), result);
    } else {
        const QModelIndex current = currentIndex().siblingAtColumn(0);
        const QVariant value = current.data(DataTypeModel::DataTypeRole);
        if (value.isValid())
            result.append(value.value<ModelDataType>());
    }
    return result;
}

void ModelDataTypeTreeView::setItemChecked(QStandardItem *item, bool checked)
{
    if (item->flags() & Qt::ItemIsUserCheckable) {
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        if (isDataTypeRow(item)) {
            if (!checked)
                collapse(item->index());
            if (ExtComboBox *box = comboBoxOf(item->index()))
                box->setVisible(checked);
        }
    }
    for (int row = 0; row < item->rowCount(); ++row) {
        if (QStandardItem *child = item->child(row, 0))
            setItemChecked(child, checked);
    }
}

void ModelDataTypeTreeView::setAllChecked(bool checked)
{
    if (!(m_viewOptions & Checkable) || !m_model)
        return;
    {
        const QSignalBlocker blocker(this);
        const bool guard = m_guard;
        m_guard = true;
        QStandardItem *root = m_model->invisibleRootItem();
        for (int row = 0; row < root->rowCount(); ++row) {
            if (QStandardItem *child = root->child(row, 0))
                setItemChecked(child, checked);
        }
        m_guard = guard;
    }
    Q_EMIT selectionChanged();
}

void ModelDataTypeTreeView::addComboBoxes(QStandardItem *parent)
{
    // Room for the box in column 1 and a free column after it.
    for (int row = 0; row < parent->rowCount(); ++row) {
        for (int column = 1; column < 3; ++column) {
            if (parent->child(row, column))
                continue;
            auto *filler = new QStandardItem;
            filler->setFlags(Qt::ItemIsEnabled);
            parent->setChild(row, column, filler);
        }
    }
    for (int row = 0; row < parent->rowCount(); ++row) {
        QStandardItem *child = parent->child(row, 0);
        if (!child)
            continue;
        if (!isDataTypeRow(child)) {
            addComboBoxes(child);
            continue;
        }
        for (int column = 0; column < parent->columnCount(); ++column) {
            if (QStandardItem *cell = parent->child(row, column))
                cell->setSelectable(true);
        }
        const ModelDataType type = child->data(DataTypeModel::DataTypeRole).value<ModelDataType>();
        const bool artwork = type.category == ModelDataType::CategoryTagItem && type.id == 16;
        auto *box = new ExtComboBox;
        box->addItem(upperCaseFirst(textForId(MergeReplaceTextId)), 1);
        if (artwork)
            box->addItem(upperCaseFirst(textForId(MergeLargerImagesTextId)), 2);
        box->addItem(upperCaseFirst(textForId(MergeKeepExistingTextId)), 3);
        if (artwork)
            box->addItem(upperCaseFirst(textForId(MergeAddImagesTextId)), 4);
        // A transparent style sheet here drew the box black on some platforms: the style draws it.
        box->setCurrentIndex(artwork ? 1 : 0);
        auto *holder = new QWidget;
        holder->setLayout(wrapInLayout(box));
        holder->setFixedHeight(holder->sizeHint().height());
        setIndexWidget(m_model->indexFromItem(child).siblingAtColumn(1), holder);
        connect(box, qOverload<int>(&QComboBox::currentIndexChanged), this, &ModelDataTypeTreeView::selectionChanged);
    }
}

ExtComboBox *ModelDataTypeTreeView::comboBoxOf(const QModelIndex &index) const
{
    if (!index.isValid())
        return nullptr;
    QWidget *holder = indexWidget(index.siblingAtColumn(1));
    if (!holder || !holder->layout() || holder->layout()->count() == 0)
        return nullptr;
    return qobject_cast<ExtComboBox *>(holder->layout()->itemAt(0)->widget());
}

void ModelDataTypeTreeView::onItemChanged(QStandardItem *item)
{
    if (m_guard || !(item->flags() & Qt::ItemIsUserCheckable))
        return;
    m_guard = true;
    setItemChecked(item, item->checkState() == Qt::Checked);
    for (QStandardItem *ancestor = item->parent(); ancestor; ancestor = ancestor->parent()) {
        if (!ancestor->hasChildren() || !(ancestor->flags() & Qt::ItemIsUserCheckable))
            continue;
        Qt::CheckState state = ancestor->child(0, 0)->checkState();
        for (int row = 1; row < ancestor->rowCount(); ++row) {
            if (ancestor->child(row, 0)->checkState() != state) {
                state = Qt::PartiallyChecked;
                break;
            }
        }
        ancestor->setCheckState(state);
    }
    m_guard = false;
    Q_EMIT selectionChanged();
}

void ModelDataTypeTreeView::setUpdateSet(const UpdateSet &set)
{
    const bool checkable = m_viewOptions & Checkable;
    if (set.id == UpdateSet::DefaultSetId) {
        if (checkable && m_model)
            setAllChecked(true);
        return;
    }
    if (!m_model)
        return;
    if (checkable)
        setAllChecked(false);
    for (auto it = set.dataTypes.cbegin(); it != set.dataTypes.cend(); ++it) {
        const QModelIndex index = m_model->indexOf(it.key());
        if (!index.isValid())
            continue;
        if (checkable) {
            m_guard = true;
            setItemChecked(m_model->itemFromIndex(index), true);
            m_guard = false;
        } else {
            setCurrentIndex(index);
        }
        if (m_viewOptions & MergeModeBoxes) {
            if (ExtComboBox *box = comboBoxOf(index)) {
                const int entry = box->findData(it.value(), Qt::UserRole);
                if (entry >= 0)
                    box->setCurrentIndex(entry);
                Q_EMIT selectionChanged();
            }
        }
        if (!checkable)
            break;
    }
}

UpdateSet ModelDataTypeTreeView::toUpdateSet() const
{
    UpdateSet set;
    set.id = UpdateSet::UnstoredSetId;
    for (const ModelDataType &type : selectedDataTypes()) {
        int value = 0;
        if ((m_viewOptions & MergeModeBoxes) && m_model) {
            if (ExtComboBox *box = comboBoxOf(m_model->indexOf(type)))
                value = box->currentData(Qt::UserRole).toInt();
        }
        set.dataTypes.insert(type, value);
    }
    return set;
}
