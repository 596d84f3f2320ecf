#include "app/dialogs/simplepatterneditorwidget.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QToolTip>

#include "app/dialogs/modeldatatypecombobox.h"
#include "app/model/datatypemodel.h"
#include "libgui/icons/icons.h"
#include "libcore/platform/platformidentity.h"
#include "libcore/text/formatting.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/texttable.h"
#include "libgui/layout/layoututil.h"

namespace {

const QString separatorKey = QStringLiteral(" - ");

void dropBox(ModelDataTypeComboBox *box)
{
    box->hide();
    box->deleteLater();
}

} // namespace

SimplePatternEditorWidget::SimplePatternEditorWidget(bool multiRow, QWidget *parent)
    : PatternEditorWidget(multiRow, parent)
{
}

SimplePatternEditorWidget::~SimplePatternEditorWidget()
{
    qDeleteAll(m_boxRows);
}

ModelDataTypeComboBox *SimplePatternEditorWidget::createComboBox()
{
    auto *box = new ModelDataTypeComboBox(allDataTypes(),
                                          DataTypeModel::NoneEntry | DataTypeModel::CharacterEntries
                                              | DataTypeModel::DataTypeSnippets | DataTypeModel::SpecialVariables,
                                          nullptr);
    connect(box, qOverload<int>(&QComboBox::activated), this, &SimplePatternEditorWidget::onComboBoxItemActivated);
    connect(box, &ExtComboBox::popupHidden, this, &SimplePatternEditorWidget::onComboBoxPopupHidden);
    return box;
}

QWidget *SimplePatternEditorWidget::createRowEditor(QBoxLayout *mainLayout, QBoxLayout *sideLayout)
{
    Q_UNUSED(sideLayout)
    QBoxLayout *boxLayout = mainLayout;
    if (!m_hintIconLabel && !m_hintTextLabel) {
        auto *layout = new QHBoxLayout;
        mainLayout->addLayout(layout);
        boxLayout = layout;
        m_hintIconLabel = createIconLabel(loadIcon(QStringLiteral("left")), defaultIconSize(), nullptr);
        mainLayout->addWidget(m_hintIconLabel);
        m_hintTextLabel = new QLabel(upperCaseFirst(textForId(PatternChooseDataTypeTextId)));
        mainLayout->addWidget(m_hintTextLabel);
    }
    ModelDataTypeComboBox *box = createComboBox();
    boxLayout->addWidget(box);
    m_boxRows.append(new QList<ModelDataTypeComboBox *>{box});
    m_boxLayouts.append(boxLayout);
    updateComboBoxes();
    return box;
}

void SimplePatternEditorWidget::updateComboBoxes()
{
    conceal(true);
    for (int r = 0; r < m_boxRows.size(); ++r) {
        QList<ModelDataTypeComboBox *> &boxes = *m_boxRows.at(r);
        bool hadFocus = false;
        for (int i = int(boxes.size()) - 2; i >= 0; --i) {
            ModelDataTypeComboBox *box = boxes.at(i);
            if (!box->currentKey().isEmpty())
                break;
            hadFocus = hadFocus || box->hasFocus();
            dropBox(box);
            boxes.removeAt(i);
        }
        if (boxes.isEmpty() || !boxes.last()->currentKey().isEmpty()) {
            ModelDataTypeComboBox *box = createComboBox();
            m_boxLayouts.at(r)->addWidget(box);
            boxes.append(box);
        }
        for (ModelDataTypeComboBox *box : boxes) {
            int width = platformId() == 1 ? 45 : 30;
            const QIcon icon = box->itemIcon(box->currentIndex());
            if (box->currentIndex() >= 0 && !icon.isNull())
                width += box->iconSize().width();
            width += qMax(10, box->fontMetrics().horizontalAdvance(box->currentText()));
            box->setFixedWidth(width);
        }
        if (hadFocus)
            boxes.last()->setFocus(Qt::OtherFocusReason);
    }
    if (m_hintIconLabel && m_hintTextLabel) {
        const bool show = m_boxRows.size() == 1 && m_boxRows.first()->size() == 1;
        m_hintIconLabel->setVisible(show);
        m_hintTextLabel->setVisible(show);
    }
    conceal(false);
}

int SimplePatternEditorWidget::rowOfLastBox(QObject *box) const
{
    for (int r = 0; r < m_boxRows.size(); ++r) {
        if (!m_boxRows.at(r)->isEmpty() && m_boxRows.at(r)->last() == box)
            return r;
    }
    return -1;
}

int SimplePatternEditorWidget::appendSeparatorBox()
{
    auto *box = qobject_cast<ModelDataTypeComboBox *>(sender());
    const int row = box ? rowOfLastBox(box) : -1;
    if (row < 0 || alphanumericKey(box->currentKey()).isEmpty())
        return -1;
    ModelDataTypeComboBox *separator = createComboBox();
    separator->setCurrentKey(separatorKey);
    m_boxLayouts.at(row)->addWidget(separator);
    m_boxRows.at(row)->append(separator);
    return row;
}

void SimplePatternEditorWidget::onComboBoxItemActivated()
{
    const int row = appendSeparatorBox();
    updateComboBoxes();
    if (row >= 0) {
        QCoreApplication::processEvents();
        if (row < m_boxRows.size() && !m_boxRows.at(row)->isEmpty())
            m_boxRows.at(row)->last()->showPopup();
    }
    Q_EMIT patternChanged();
}

void SimplePatternEditorWidget::onComboBoxPopupHidden()
{
    auto *box = qobject_cast<ModelDataTypeComboBox *>(sender());
    const int row = box ? rowOfLastBox(box) : -1;
    if (row < 0)
        return;
    QList<ModelDataTypeComboBox *> &boxes = *m_boxRows.at(row);
    if (boxes.size() < 2 || !box->currentKey().isEmpty() || boxes.at(boxes.size() - 2)->currentKey() != separatorKey)
        return;
    ModelDataTypeComboBox *separator = boxes.takeAt(boxes.size() - 2);
    dropBox(separator);
    Q_EMIT patternChanged();
}

bool SimplePatternEditorWidget::validate()
{
    if (m_boxRows.isEmpty())
        return true;
    const QList<ModelDataTypeComboBox *> &boxes = *m_boxRows.last();
    if (boxes.size() > 1)
        return true;
    if (boxes.size() == 1) {
        ModelDataTypeComboBox *box = boxes.first();
        box->setFocus(Qt::OtherFocusReason);
        QToolTip::showText(box->mapToGlobal(QPoint(0, 0)), upperCaseFirst(textForId(PatternChooseDataTypeTextId)), box);
    }
    return false;
}

NamingPattern SimplePatternEditorWidget::pattern() const
{
    NamingPattern result;
    result.isSimple = true;
    for (const QList<ModelDataTypeComboBox *> *boxes : m_boxRows) {
        QStringList level;
        for (const ModelDataTypeComboBox *box : *boxes) {
            const QString key = box->currentKey();
            if (!key.isEmpty())
                level.append(key);
        }
        if (!level.isEmpty())
            result.levels.append(level);
    }
    return result;
}

void SimplePatternEditorWidget::setPattern(const NamingPattern &pattern)
{
    {
        const QSignalBlocker blocker(this);
        setRowCount(int(pattern.levels.size()));
        // A single-row editor shows the first level only.
        for (int i = 0; i < m_boxRows.size() && i < pattern.levels.size(); ++i) {
            const QStringList &parts = pattern.levels.at(i);
            QList<ModelDataTypeComboBox *> &boxes = *m_boxRows.at(i);
            while (boxes.size() < parts.size() + 1) {
                ModelDataTypeComboBox *box = createComboBox();
                m_boxLayouts.at(i)->addWidget(box);
                boxes.append(box);
            }
            for (int j = 0; j < parts.size(); ++j)
                boxes.at(j)->setCurrentKey(parts.at(j));
        }
        updateComboBoxes();
    }
    Q_EMIT patternChanged();
}

void SimplePatternEditorWidget::removeRowEditor(int index)
{
    if (index >= 0) {
        if (index == 0) {
            // They go with the row's widgets.
            m_hintIconLabel = nullptr;
            m_hintTextLabel = nullptr;
        }
        if (index < m_boxRows.size())
            delete m_boxRows.takeAt(index);
        if (index < m_boxLayouts.size())
            m_boxLayouts.removeAt(index);
    }
    updateComboBoxes();
}
