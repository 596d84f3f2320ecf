#pragma once

#include <QTreeView>

#include "app/model/modeldatatype.h"

class DataTypeModel;
class ExtComboBox;
class QStandardItem;
class UpdateSet;

enum ModelDataTypeTreeViewTextId : quint32 {
    MergeReplaceTextId = 2089552723u,
    MergeLargerImagesTextId = 1528317702u,
    MergeKeepExistingTextId = 3677825820u,
    MergeAddImagesTextId = 3644520261u,
};

// Picks data types from the grouped tree: one by the current row, or many by check boxes
// (a group's box checks everything below it), optionally with a merge-mode box beside each
// checked data type.
class ModelDataTypeTreeView : public QTreeView
{
    Q_OBJECT
public:
    enum ViewOption { Checkable = 0x01, MergeModeBoxes = 0x02 };

    ModelDataTypeTreeView(const int &viewOptions, const int &modelOptions, QWidget *parent = nullptr);
    ~ModelDataTypeTreeView() override;

    DataTypeModel *dataTypeModel() const { return m_model; }
    void setDataTypes(const QList<ModelDataType> &types);
    // Checked data types in tree order, or the current row's data type.
    QList<ModelDataType> selectedDataTypes() const;
    void setAllChecked(bool checked);
    void setUpdateSet(const UpdateSet &set);
    UpdateSet toUpdateSet() const;
    // The merge-mode box of a data-type row; null when it has none.
    ExtComboBox *comboBoxOf(const QModelIndex &index) const;

Q_SIGNALS:
    void selectionChanged();

private Q_SLOTS:
    void onItemChanged(QStandardItem *item);

private:
    void setItemChecked(QStandardItem *item, bool checked);
    void addComboBoxes(QStandardItem *parent);
    void expandGroups(QStandardItem *parent);

    DataTypeModel *m_model = nullptr;
    int m_viewOptions;
    int m_modelOptions;
    bool m_guard = false;
};
