#pragma once

#include <QWidget>

#include "app/model/modeldatatype.h"

class QListWidget;
class QToolButton;

enum ModelDataTypeListWidgetTextId : quint32 {
    AddDataTypesTitleTextId = 1689264641u,
};

// An ordered list of data types with add, remove, up and down buttons; the add button
// offers the available data types that are not listed yet.
class ModelDataTypeListWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ModelDataTypeListWidget(QWidget *parent = nullptr);
    ~ModelDataTypeListWidget() override;

    void setDataTypes(const QList<ModelDataType> &types);
    QList<ModelDataType> dataTypes() const { return m_list; }
    void setAvailableDataTypes(const QList<ModelDataType> &types) { m_available = types; }
    void setModelOptions(int options) { m_modelOptions = options; }

    QListWidget *listWidget() const { return m_listWidget; }
    QToolButton *addButton() const { return m_addButton; }
    QToolButton *removeButton() const { return m_removeButton; }
    QToolButton *upButton() const { return m_upButton; }
    QToolButton *downButton() const { return m_downButton; }

Q_SIGNALS:
    void selectedDataTypesChanged();

private Q_SLOTS:
    void updateGui();
    void onAddButtonClicked();
    void onRemoveButtonClicked();
    void onUpButtonClicked();
    void onDownButtonClicked();

private:
    // Selects the rows first..last, the last one current.
    void selectBlock(int first, int last);
    void swapRows(int a, int b);

    QList<ModelDataType> m_list;
    QList<ModelDataType> m_available;
    int m_modelOptions = 0;
    QListWidget *m_listWidget;
    QToolButton *m_addButton;
    QToolButton *m_removeButton;
    QToolButton *m_upButton;
    QToolButton *m_downButton;
};
