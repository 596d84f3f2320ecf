#pragma once

#include "app/model/modeldatatype.h"
#include "libgui/combos/extcombobox.h"

class DataTypeModel;

// A combo box whose drop-down is the grouped tree of data types (and, by the options, of
// script snippets): choosing a row chooses its data type and its script key.
class ModelDataTypeComboBox : public ExtComboBox
{
    Q_OBJECT
public:
    // options: the DataTypeModel options.
    ModelDataTypeComboBox(const QList<ModelDataType> &types, const int &options, QWidget *parent = nullptr);
    ~ModelDataTypeComboBox() override;

    QSize sizeHint() const override;

    DataTypeModel *dataTypeModel() const { return m_model; }
    // The empty data type when nothing or a row without data type is current.
    ModelDataType currentDataType() const;
    void setCurrentDataType(const ModelDataType &type);
    // The script key of the current row; empty when nothing is current.
    QString currentKey() const;
    void setCurrentKey(const QString &key);

private Q_SLOTS:
    void onItemActivated();

private:
    DataTypeModel *m_model;
};
