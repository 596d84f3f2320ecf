#include "app/dialogs/modeldatatypecombobox.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTreeView>

#include "app/model/datatypemodel.h"
#include "libcore/platform/platformidentity.h"
#include "libgui/layout/layoututil.h"

ModelDataTypeComboBox::ModelDataTypeComboBox(const QList<ModelDataType> &types, const int &options,
                                             QWidget *parent)
    : ExtComboBox(parent), m_model(new DataTypeModel(types, DataTypeModel::Options(options), this))
{
    setModel(m_model);
    setMaxVisibleItems(20);
    if (platformId() == 1)
        setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    setCurrentIndex(-1);

    auto *view = new QTreeView(this);
    view->setHeaderHidden(true);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setView(view);
    view->expandAll();
    fitViewColumnsToContents(view);
    view->setMinimumWidth(view->header()->length() + view->verticalScrollBar()->sizeHint().width());
    setCurrentIndex(-1);

    connect(this, &ExtComboBox::popupShown, view, &QTreeView::expandAll);
    connect(this, qOverload<int>(&QComboBox::activated), this, &ModelDataTypeComboBox::onItemActivated);
}

ModelDataTypeComboBox::~ModelDataTypeComboBox() = default;

QSize ModelDataTypeComboBox::sizeHint() const
{
    const QSize hint = QComboBox::sizeHint();
    return QSize(qMax(hint.width(), view()->minimumWidth()), hint.height());
}

ModelDataType ModelDataTypeComboBox::currentDataType() const
{
    const QVariant value = currentModelIndex(this).data(DataTypeModel::DataTypeRole);
    return value.isValid() ? value.value<ModelDataType>() : ModelDataType();
}

void ModelDataTypeComboBox::setCurrentDataType(const ModelDataType &type)
{
    setCurrentModelIndex(this, m_model->indexOf(type));
}

QString ModelDataTypeComboBox::currentKey() const
{
    return currentModelIndex(this).data(DataTypeModel::KeyRole).toString();
}

void ModelDataTypeComboBox::setCurrentKey(const QString &key)
{
    setCurrentModelIndex(this, m_model->indexOfKey(key));
}

void ModelDataTypeComboBox::onItemActivated()
{
    // A group or the entry without data type chooses nothing.
    const QModelIndex index = currentModelIndex(this);
    if (index.isValid() && index.data(DataTypeModel::KeyRole).toString().isEmpty())
        setCurrentModelIndex(this, QModelIndex());
}
