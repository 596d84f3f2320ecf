#include "app/dialogs/modeldatatypelistwidget.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/dialogs/modeldatatypetreeview.h"
#include "libgui/icons/icons.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/dialogs/commondialog.h"
#include "libgui/itemviews/selectiongeometry.h"
#include "libgui/tables/tableeditorwidget.h"

namespace {

// The dialog of the add button, with the tree as its content.
class AddDataTypesDialog : public CommonDialog
{
public:
    AddDataTypesDialog(QWidget *parent, QWidget *content) : CommonDialog(parent)
    {
        setWindowIcon(loadIcon(QStringLiteral("add")));
        setWindowTitle(upperCaseFirst(textForId(AddDataTypesTitleTextId)));
        setContentWidget(content);
    }
};

QToolButton *makeButton(QWidget *parent, const char *icon, quint32 toolTip)
{
    auto *button = new QToolButton(parent);
    button->setIcon(loadIcon(QString::fromLatin1(icon)));
    button->setIconSize(QSize(defaultIconSize(), defaultIconSize()));
    button->setToolTip(upperCaseFirst(textForId(toolTip)));
    return button;
}

} // namespace

ModelDataTypeListWidget::ModelDataTypeListWidget(QWidget *parent)
    : QWidget(parent),
      m_listWidget(new QListWidget(this)),
      m_addButton(makeButton(this, "add", TableEditorAddTextId)),
      m_removeButton(makeButton(this, "remove", TableEditorRemoveTextId)),
      m_upButton(makeButton(this, "up", TableEditorUpTextId)),
      m_downButton(makeButton(this, "down", TableEditorDownTextId))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_listWidget->setSelectionMode(QAbstractItemView::ContiguousSelection);
    connect(m_listWidget, &QListWidget::currentRowChanged, this, &ModelDataTypeListWidget::updateGui);
    connect(m_listWidget->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ModelDataTypeListWidget::updateGui);
    layout->addWidget(m_listWidget);
    auto *buttons = new QVBoxLayout;
    buttons->setAlignment(Qt::AlignTop);
    for (QToolButton *button : {m_addButton, m_removeButton, m_upButton, m_downButton})
        buttons->addWidget(button);
    layout->addLayout(buttons);
    connect(m_addButton, &QToolButton::clicked, this, &ModelDataTypeListWidget::onAddButtonClicked);
    connect(m_removeButton, &QToolButton::clicked, this, &ModelDataTypeListWidget::onRemoveButtonClicked);
    connect(m_upButton, &QToolButton::clicked, this, &ModelDataTypeListWidget::onUpButtonClicked);
    connect(m_downButton, &QToolButton::clicked, this, &ModelDataTypeListWidget::onDownButtonClicked);
    updateGui();
}

ModelDataTypeListWidget::~ModelDataTypeListWidget() = default;

void ModelDataTypeListWidget::setDataTypes(const QList<ModelDataType> &types)
{
    m_list = types;
    m_listWidget->clear();
    for (const ModelDataType &type : types)
        m_listWidget->addItem(upperCaseFirst(dataTypeDisplayName(type)));
    updateGui();
    Q_EMIT selectedDataTypesChanged();
}

void ModelDataTypeListWidget::updateGui()
{
    const QRect rect = selectionBoundingRect(m_listWidget->selectionModel()->selection());
    const bool selected = rect.isValid();
    m_removeButton->setEnabled(selected);
    m_upButton->setEnabled(selected && rect.top() > 0);
    m_downButton->setEnabled(selected && rect.bottom() < m_listWidget->count() - 1);
    m_addButton->setEnabled(true);
}

void ModelDataTypeListWidget::selectBlock(int first, int last)
{
    QItemSelectionModel *selection = m_listWidget->selectionModel();
    const QItemSelection block(m_listWidget->model()->index(first, 0), m_listWidget->model()->index(last, 0));
    selection->select(block, QItemSelectionModel::ClearAndSelect);
    selection->setCurrentIndex(m_listWidget->model()->index(last, 0), QItemSelectionModel::NoUpdate);
}

void ModelDataTypeListWidget::onAddButtonClicked()
{
    QList<ModelDataType> offered;
    for (const ModelDataType &type : std::as_const(m_available)) {
        if (!m_list.contains(type))
            offered.append(type);
    }
    auto *view = new ModelDataTypeTreeView(ModelDataTypeTreeView::Checkable, m_modelOptions);
    view->setMinimumSize(500, 500);
    view->setDataTypes(offered);
    auto *dialog = new AddDataTypesDialog(this, view);
    const int result = dialog->exec();
    const QList<ModelDataType> chosen = view->selectedDataTypes();
    delete dialog;
    if (result != QDialog::Accepted || chosen.isEmpty())
        return;
    const int first = int(m_list.size());
    for (const ModelDataType &type : chosen) {
        m_list.append(type);
        m_listWidget->addItem(upperCaseFirst(dataTypeDisplayName(type)));
    }
    selectBlock(first, int(m_list.size()) - 1);
    updateGui();
    Q_EMIT selectedDataTypesChanged();
}

void ModelDataTypeListWidget::onRemoveButtonClicked()
{
    const QRect rect = selectionBoundingRect(m_listWidget->selectionModel()->selection());
    if (!rect.isValid())
        return;
    for (int row = rect.bottom(); row >= rect.top(); --row) {
        m_list.removeAt(row);
        delete m_listWidget->takeItem(row);
    }
    updateGui();
    Q_EMIT selectedDataTypesChanged();
}

void ModelDataTypeListWidget::swapRows(int a, int b)
{
    m_list.swapItemsAt(a, b);
    const QString text = m_listWidget->item(a)->text();
    m_listWidget->item(a)->setText(m_listWidget->item(b)->text());
    m_listWidget->item(b)->setText(text);
}

void ModelDataTypeListWidget::onUpButtonClicked()
{
    const QRect rect = selectionBoundingRect(m_listWidget->selectionModel()->selection());
    if (!rect.isValid() || rect.top() <= 0)
        return;
    for (int row = rect.top(); row <= rect.bottom(); ++row)
        swapRows(row, row - 1);
    selectBlock(rect.top() - 1, rect.bottom() - 1);
    Q_EMIT selectedDataTypesChanged();
}

void ModelDataTypeListWidget::onDownButtonClicked()
{
    const QRect rect = selectionBoundingRect(m_listWidget->selectionModel()->selection());
    if (!rect.isValid() || rect.bottom() >= m_listWidget->count() - 1)
        return;
    for (int row = rect.bottom(); row >= rect.top(); --row)
        swapRows(row, row + 1);
    selectBlock(rect.top() + 1, rect.bottom() + 1);
    Q_EMIT selectedDataTypesChanged();
}
