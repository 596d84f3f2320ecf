#include "app/dialogs/filetaggerdialog.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/dialogs/filenamesplitting.h"
#include "app/dialogs/modeldatatypecombobox.h"
#include "app/dialogs/modeldatatypetreeview.h"
#include "app/dialogs/regexppopup.h"
#include "app/dialogs/tagscriptpopup.h"
#include "app/model/modeldatatype.h"
#include "app/operations/audiofileselection.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/shell/iappmainwindow.h"
#include "libgui/icons/icons.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/edits/contentassistlineedit.h"
#include "libgui/itemviews/colors.h"
#include "libgui/layout/layoututil.h"
#include "libgui/progress/dialogsizehints.h"
#include "libgui/tables/exttablewidget.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"

namespace {

QString label(quint32 textId)
{
    return upperCaseFirst(textForId(textId));
}

QRandomGenerator &brushRandom()
{
    static QRandomGenerator generator(QRandomGenerator::global()->generate());
    return generator;
}

// The picker of new brushes: a plain dialog around a checkable data type tree.
class AddBrushesDialog : public CommonDialog
{
public:
    AddBrushesDialog(const QList<ModelDataType> &types, QWidget *parent) : CommonDialog(parent)
    {
        setWindowIcon(loadIcon(QStringLiteral("add")));
        setWindowTitle(label(AddBrushesTitleTextId));
        view = new ModelDataTypeTreeView(ModelDataTypeTreeView::Checkable, 0);
        view->setMinimumSize(500, 500);
        view->setDataTypes(types);
        setContentWidget(view);
    }
    ModelDataTypeTreeView *view;
};

bool isBrushCursor(const QWidget *widget)
{
    return widget->testAttribute(Qt::WA_SetCursor) && widget->cursor().shape() == Qt::BitmapCursor;
}

} // namespace

void FileTaggerDialog::seedBrushColors(quint32 seed)
{
    brushRandom().seed(seed);
}

FileTaggerDialog::FileTaggerDialog(QWidget *parent, Qt::WindowFlags flags) : CommonDialog(parent, flags)
{
    m_brushCursor = QCursor(loadIcon(QStringLiteral("brush")).pixmap(32, 32, QIcon::Normal, QIcon::Off), 2, 31);
    loadFiles();
    computeAutomaticParts();
    setWindowTitle(label(FileTaggerTitleTextId));
    setWindowIcon(loadIcon(QStringLiteral("fileTag")));

    auto *grid = new QGridLayout;
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(1, 2);
    setContentLayout(grid);

    // How names are split.
    auto *splitBox = new QGroupBox(label(SplitTitleTextId));
    auto *splitLayout = new QVBoxLayout(splitBox);
    separatorEdit = new ExtLineEdit(QStringLiteral("-"));
    patternEdit = new ContentAssistLineEdit;
    patternEdit->setContentAssistPopup(new TagScriptPopup(1));
    patternEdit->setAssistOnEdit(true);
    splitExpressionEdit = new ContentAssistLineEdit;
    splitExpressionEdit->setContentAssistPopup(new RegExpPopup);
    matchExpressionEdit = new ContentAssistLineEdit;
    matchExpressionEdit->setContentAssistPopup(new RegExpPopup);
    const QList<QPair<quint32, QLineEdit *>> methods{{SplitAutomaticTextId, nullptr},
                                                     {SplitSeparatorTextId, separatorEdit},
                                                     {SplitPatternTextId, patternEdit},
                                                     {SplitExpressionTextId, splitExpressionEdit},
                                                     {MatchExpressionTextId, matchExpressionEdit}};
    for (const auto &[textId, edit] : methods) {
        auto *button = new QRadioButton(label(textId));
        splitLayout->addWidget(button);
        connect(button, &QRadioButton::clicked, this, &FileTaggerDialog::updateGui);
        methodButtons.append(button);
        if (edit) {
            auto *indent = new QVBoxLayout;
            indent->setContentsMargins(radioButtonIndent());
            indent->addWidget(edit);
            splitLayout->addLayout(indent);
            connect(edit, &QLineEdit::textChanged, this, &FileTaggerDialog::updateGui);
        }
    }
    methodButtons.first()->setChecked(true);
    splitLayout->addStretch();
    grid->addWidget(splitBox, 0, 0);

    // How parts become item types.
    auto *assignBox = new QGroupBox(label(AssignmentTitleTextId));
    auto *assignLayout = new QVBoxLayout(assignBox);
    auto *modeRow = new QHBoxLayout;
    interpretationModeButton = new QRadioButton(label(InterpretationModeTextId));
    interpretationModeButton->setChecked(true);
    paintModeButton = new QRadioButton(label(PaintModeTextId));
    modeRow->addWidget(interpretationModeButton, 0, Qt::AlignLeft | Qt::AlignVCenter);
    modeRow->addWidget(paintModeButton, 0, Qt::AlignRight | Qt::AlignVCenter);
    connect(interpretationModeButton, &QRadioButton::clicked, this, &FileTaggerDialog::updateGui);
    connect(paintModeButton, &QRadioButton::clicked, this, &FileTaggerDialog::updateGui);
    assignLayout->addLayout(modeRow);
    assignLayout->addSpacing(10);
    m_scrollArea = new QScrollArea;
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setFocusPolicy(Qt::NoFocus);
    pageStackWidget = new QStackedWidget;
    m_scrollArea->setWidget(pageStackWidget);
    assignLayout->addWidget(m_scrollArea);

    m_interpretationPage = new QWidget;
    auto *pageLayout = new QVBoxLayout(m_interpretationPage);
    m_interpretationGrid = new QGridLayout;
    m_interpretationGrid->setColumnStretch(0, 1);
    m_interpretationGrid->setColumnStretch(1, 3);
    pageLayout->addLayout(m_interpretationGrid);
    pageLayout->addStretch();
    pageStackWidget->addWidget(m_interpretationPage);

    m_brushPage = new QWidget;
    pageLayout = new QVBoxLayout(m_brushPage);
    addBrushButton = new QToolButton;
    addBrushButton->setIcon(loadIcon(QStringLiteral("add")));
    addBrushButton->setText(label(AddBrushesTextId));
    addBrushButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(addBrushButton, &QToolButton::clicked, this, &FileTaggerDialog::onAddButtonClicked);
    pageLayout->addWidget(addBrushButton);
    m_brushGrid = new QGridLayout;
    eraserButton = new QRadioButton(label(EraserTextId), m_brushPage);
    m_brushGrid->addWidget(eraserButton, 0, 0);
    pageLayout->addLayout(m_brushGrid);
    pageLayout->addStretch();
    pageStackWidget->addWidget(m_brushPage);
    grid->addWidget(assignBox, 0, 1);

    for (int type : TagItem::typesOfCategory(0))
        addTypeBrush(type, nextBrushColor());
    if (!m_brushes.isEmpty())
        m_brushes.first().radioButton->setChecked(true);

    auto *previewBox = new QGroupBox(label(PreviewTitleTextId));
    previewTable = new ExtTableWidget;
    previewTable->setSelectionMode(QAbstractItemView::NoSelection);
    previewTable->horizontalHeader()->viewport()->setMouseTracking(true);
    previewTable->viewport()->setMouseTracking(true);
    previewTable->horizontalHeader()->viewport()->installEventFilter(this);
    previewTable->viewport()->installEventFilter(this);
    connect(previewTable->horizontalHeader(), &QHeaderView::sectionClicked, this, &FileTaggerDialog::onSectionClicked);
    previewBox->setLayout(wrapInLayout(previewTable));
    grid->addWidget(previewBox, 1, 0, 1, 2);

    updateGui();
}

FileTaggerDialog::~FileTaggerDialog() = default;

QSize FileTaggerDialog::sizeHint() const
{
    return largeDialogSizeHint();
}

int FileTaggerDialog::method() const
{
    for (int i = 0; i < methodButtons.size(); ++i) {
        if (methodButtons.at(i)->isChecked())
            return i;
    }
    return FileNameSplitMethod::Automatic;
}

bool FileTaggerDialog::isPaintMode() const
{
    return paintModeButton->isChecked();
}

void FileTaggerDialog::loadFiles()
{
    IAppMainWindow *window = IAppMainWindow::instance();
    const AudioFileSelection *selection = window ? window->selection() : nullptr;
    if (selection)
        m_files = selection->dataTypesByFile().keys();
    std::stable_sort(m_files.begin(), m_files.end(), [](AudioFile *a, AudioFile *b) {
        return QString::localeAwareCompare(a->filePath(), b->filePath()) < 0;
    });
    m_nameLevels.clear();
    for (AudioFile *file : std::as_const(m_files))
        m_nameLevels.append(fileNameLevels(file->filePath()));
}

void FileTaggerDialog::computeAutomaticParts()
{
    if (m_automaticParts.size() == m_files.size() && !m_files.isEmpty())
        return;
    try {
        m_automaticParts = automaticFileNameParts(m_files);
    } catch (const Exception &) {
        // The identification stages logged it; the names stay unsplit.
        m_automaticParts.clear();
        for (const QStringList &levels : std::as_const(m_nameLevels))
            m_automaticParts.append(levels.isEmpty() ? QStringList() : QStringList{levels.first()});
    }
}

void FileTaggerDialog::computeParts()
{
    m_currentParts.clear();
    m_patternItemTypes.clear();
    switch (method()) {
    case FileNameSplitMethod::Separator:
    case FileNameSplitMethod::SplitExpression: {
        const QString expression = method() == FileNameSplitMethod::Separator
                                       ? separatorExpression(separatorEdit->text())
                                       : splitExpressionEdit->text();
        for (const QStringList &levels : std::as_const(m_nameLevels))
            m_currentParts.append(splitNameLevels(levels, expression));
        break;
    }
    case FileNameSplitMethod::Pattern:
    case FileNameSplitMethod::MatchExpression: {
        QStringList expressions;
        if (method() == FileNameSplitMethod::Pattern) {
            const FileNamePattern pattern = fileNamePattern(patternEdit->text());
            expressions = pattern.levelExpressions;
            m_patternItemTypes = pattern.itemTypes;
        } else {
            expressions = matchExpressionLevels(matchExpressionEdit->text());
        }
        for (const QStringList &levels : std::as_const(m_nameLevels))
            m_currentParts.append(matchNameLevels(levels, expressions));
        break;
    }
    default:
        computeAutomaticParts();
        m_currentParts = m_automaticParts;
        break;
    }
    m_partCount = trimFileNameParts(m_currentParts);
}

void FileTaggerDialog::updateGui()
{
    const bool pattern = method() == FileNameSplitMethod::Pattern;
    separatorEdit->setEnabled(methodButtons.at(FileNameSplitMethod::Separator)->isChecked());
    patternEdit->setEnabled(pattern);
    splitExpressionEdit->setEnabled(methodButtons.at(FileNameSplitMethod::SplitExpression)->isChecked());
    matchExpressionEdit->setEnabled(methodButtons.at(FileNameSplitMethod::MatchExpression)->isChecked());

    computeParts();
    while (m_interpretations.size() < qMax(m_partCount, int(m_patternItemTypes.size())))
        addInterpretation(UnassignedItemType);
    if (pattern) {
        // The pattern's variables say what each part is.
        for (int k = 0; k < m_interpretations.size(); ++k) {
            FileNameInterpretation &row = m_interpretations[k];
            row.itemType = m_patternItemTypes.value(k, UnassignedItemType);
            row.comboBox->setCurrentDataType(row.itemType == UnassignedItemType ? ModelDataType()
                                                                                : ModelDataType(TagItemType::Id(row.itemType)));
        }
    }
    for (int i = 0; i < m_files.size(); ++i) {
        if (m_paintTable.size() == i)
            m_paintTable.append(QList<int>());
        QList<int> &row = m_paintTable[i];
        while (row.size() < m_currentParts.at(i).size())
            row.append(-1);
    }

    updatePages();
    updateTable();
    updateDialogGui();
}

void FileTaggerDialog::updatePages()
{
    const bool pattern = method() == FileNameSplitMethod::Pattern;
    paintModeButton->setEnabled(!pattern);
    if (pattern)
        interpretationModeButton->setChecked(true);
    setWidgetConcealed(m_scrollArea->viewport(), true);
    const bool paint = isPaintMode();
    pageStackWidget->setCurrentIndex(paint ? 1 : 0);
    if (!paint) {
        for (int i = 0; i < m_interpretations.size(); ++i) {
            m_interpretations.at(i).label->setVisible(i < m_partCount);
            m_interpretations.at(i).comboBox->setVisible(i < m_partCount);
            m_interpretations.at(i).comboBox->setEnabled(!pattern);
        }
    }
    QWidget *shown = paint ? m_brushPage : m_interpretationPage;
    QWidget *other = paint ? m_interpretationPage : m_brushPage;
    shown->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    other->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    setWidgetConcealed(m_scrollArea->viewport(), false);
}

void FileTaggerDialog::updateTable()
{
    previewTable->setRowCount(int(m_files.size()));
    previewTable->setColumnCount(m_partCount + 1);
    updateTableHeaders();
    updateTableItems();
}

void FileTaggerDialog::updateTableHeaders()
{
    const bool paint = isPaintMode();
    for (int c = 0; c <= m_partCount; ++c) {
        auto *item = new QTableWidgetItem;
        if (c == 0) {
            item->setText(upperCaseFirst(filePropertyDisplayName(FileProperty::fileName)));
        } else {
            const int type = m_interpretations.value(c - 1).itemType;
            if (!paint && type != UnassignedItemType) {
                item->setText(upperCaseFirst(TagItem::typeName(type)));
                QFont font = item->font();
                font.setWeight(QFont::Bold);
                item->setData(Qt::FontRole, font);
            } else {
                item->setText(label(PartHeaderTextId).arg(c));
            }
        }
        previewTable->setHorizontalHeaderItem(c, item);
    }
}

void FileTaggerDialog::updateTableItems()
{
    const bool paint = isPaintMode();
    const QTableWidgetItem fresh;
    for (int row = 0; row < m_files.size(); ++row) {
        if (!previewTable->item(row, 0))
            previewTable->setItem(row, 0, new QTableWidgetItem(QFileInfo(withoutTrailingSlash(m_files.at(row)->filePath())).fileName()));
        const QStringList &parts = m_currentParts.at(row);
        for (int c = 1; c <= m_partCount; ++c) {
            if (c > parts.size()) {
                delete previewTable->takeItem(row, c);
                continue;
            }
            QTableWidgetItem *item = previewTable->item(row, c);
            if (!item) {
                item = new QTableWidgetItem;
                previewTable->setItem(row, c, item);
            }
            item->setText(parts.at(c - 1));
            const int brush = paint ? m_paintTable.at(row).value(c - 1, -1) : -1;
            if (brush >= 0 && brush < m_brushes.size()) {
                const TypeBrush &b = m_brushes.at(brush);
                item->setToolTip(upperCaseFirst(TagItem::typeName(b.itemType)));
                item->setBackground(QBrush(b.color));
                item->setForeground(QBrush(b.textColor));
            } else {
                item->setToolTip(QString());
                item->setBackground(fresh.background());
                item->setForeground(fresh.foreground());
            }
        }
    }
    fitViewColumnsToContents(previewTable);
}

void FileTaggerDialog::addInterpretation(int itemType)
{
    const int n = int(m_interpretations.size());
    FileNameInterpretation row;
    row.itemType = itemType;
    row.label = new QLabel(label(PartHeaderTextId).arg(n + 1));
    row.comboBox = new ModelDataTypeComboBox(dataTypesOfCategories({ModelDataType::CategoryTagItem}), 1);
    row.comboBox->setFrame(false);
    row.comboBox->setCurrentDataType(itemType == UnassignedItemType ? ModelDataType()
                                                                    : ModelDataType(TagItemType::Id(itemType)));
    connect(row.comboBox, &QComboBox::activated, this, &FileTaggerDialog::onInterpretationComboBoxChanged);
    m_interpretationGrid->addWidget(row.label, n, 0);
    m_interpretationGrid->addWidget(row.comboBox, n, 1);
    m_interpretations.append(row);
}

void FileTaggerDialog::onInterpretationComboBoxChanged()
{
    for (FileNameInterpretation &row : m_interpretations) {
        if (row.comboBox != sender())
            continue;
        const ModelDataType type = row.comboBox->currentDataType();
        if (type.isTagItem()) {
            // An item type belongs to one part at most.
            for (FileNameInterpretation &other : m_interpretations) {
                if (&other != &row && other.itemType == type.id) {
                    other.itemType = UnassignedItemType;
                    other.comboBox->setCurrentDataType(ModelDataType());
                }
            }
            row.itemType = type.id;
        } else {
            row.itemType = UnassignedItemType;
        }
    }
    updateTableHeaders();
}

QColor FileTaggerDialog::nextBrushColor() const
{
    for (const QColor &color : standardColors()) {
        const bool used = std::any_of(m_brushes.cbegin(), m_brushes.cend(),
                                      [&color](const TypeBrush &brush) { return brush.color == color; });
        if (!used)
            return color;
    }
    QRandomGenerator &random = brushRandom();
    return QColor(int(random.bounded(256)), int(random.bounded(256)), int(random.bounded(256)));
}

void FileTaggerDialog::updateBrushStyle(const TypeBrush &brush)
{
    brush.radioButton->setStyleSheet(QStringLiteral("QRadioButton { color: %1; background-color: %2; }")
                                         .arg(brush.textColor.name(), brush.color.name()));
}

void FileTaggerDialog::addTypeBrush(int itemType, const QColor &color)
{
    const int row = m_brushGrid->count() == 0 ? 0 : m_brushGrid->rowCount();
    TypeBrush brush;
    brush.itemType = itemType;
    brush.color = color;
    brush.textColor = contrastColor(color);
    // One parent for every brush and the eraser, so that they exclude each other.
    brush.radioButton = new QRadioButton(upperCaseFirst(TagItem::typeName(itemType)), m_brushPage);
    updateBrushStyle(brush);
    m_brushGrid->addWidget(brush.radioButton, row, 0);
    auto *buttons = new QHBoxLayout;
    brush.colorButton = new QToolButton;
    brush.colorButton->setIcon(loadIcon(QStringLiteral("color")));
    brush.colorButton->setToolTip(label(BrushColorTipTextId).arg(TagItem::typeName(itemType)));
    connect(brush.colorButton, &QToolButton::clicked, this, &FileTaggerDialog::onColorButtonClicked);
    buttons->addWidget(brush.colorButton);
    m_brushGrid->addLayout(buttons, row, 1);
    m_brushes.append(brush);
}

void FileTaggerDialog::onColorButtonClicked()
{
    for (TypeBrush &brush : m_brushes) {
        if (brush.colorButton != sender())
            continue;
        const QColor color = QColorDialog::getColor(brush.color, this);
        if (!color.isValid())
            return;
        brush.color = color;
        brush.textColor = contrastColor(color);
        updateBrushStyle(brush);
        updateTableItems();
        return;
    }
}

void FileTaggerDialog::onAddButtonClicked()
{
    QList<ModelDataType> types;
    for (int type = 0; type < TagItemType::Count; ++type) {
        const bool has = std::any_of(m_brushes.cbegin(), m_brushes.cend(),
                                     [type](const TypeBrush &brush) { return brush.itemType == type; });
        if (!has)
            types.append(ModelDataType(TagItemType::Id(type)));
    }
    auto *dialog = new AddBrushesDialog(types, this);
    if (dialog->exec() == QDialog::Accepted) {
        for (const ModelDataType &type : dialog->view->selectedDataTypes()) {
            if (type.isTagItem())
                addTypeBrush(type.id, nextBrushColor());
        }
    }
    delete dialog;
}

void FileTaggerDialog::paintItem(QTableWidgetItem *item)
{
    if (!item || item->tableWidget() != previewTable || item->column() < 1)
        return;
    const int row = item->row(), part = item->column() - 1;
    if (row >= m_paintTable.size() || part >= m_paintTable.at(row).size())
        return;
    for (int i = 0; i < m_brushes.size(); ++i) {
        const TypeBrush &brush = m_brushes.at(i);
        if (!brush.radioButton->isChecked())
            continue;
        item->setToolTip(upperCaseFirst(TagItem::typeName(brush.itemType)));
        item->setBackground(QBrush(brush.color));
        item->setForeground(QBrush(brush.textColor));
        m_paintTable[row][part] = i;
        return;
    }
    if (eraserButton->isChecked()) {
        const QTableWidgetItem fresh;
        item->setToolTip(QString());
        item->setBackground(fresh.background());
        item->setForeground(fresh.foreground());
        m_paintTable[row][part] = -1;
    }
}

void FileTaggerDialog::onSectionClicked(int index)
{
    if (!isPaintMode())
        return;
    for (int row = 0; row < previewTable->rowCount(); ++row)
        paintItem(previewTable->item(row, index));
}

bool FileTaggerDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (m_forwarding)
        return QDialog::eventFilter(watched, event);
    QHeaderView *header = previewTable ? previewTable->horizontalHeader() : nullptr;
    if (header && watched == header->viewport() && event->type() == QEvent::MouseMove) {
        if (isBrushCursor(header))
            header->setAttribute(Qt::WA_SetCursor, false);
        // The header first, so that it can show its own cursor over a section border.
        m_forwarding = true;
        event->setAccepted(true);
        QCoreApplication::sendEvent(header->viewport(), event);
        m_forwarding = false;
        if (header->testAttribute(Qt::WA_SetCursor))
            return true;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (isPaintMode() && previewTable->columnAt(int(mouse->position().x())) > 0) {
            if (header->cursor().shape() == Qt::BitmapCursor)
                header->setAttribute(Qt::WA_SetCursor, true);
            else
                header->setCursor(m_brushCursor);
        } else {
            header->unsetCursor();
        }
        return true;
    }
    if (previewTable && watched == previewTable->viewport()
        && (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress)) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        QTableWidgetItem *item = previewTable->itemAt(mouse->position().toPoint());
        QWidget *viewport = previewTable->viewport();
        if (event->type() == QEvent::MouseMove) {
            if (item && isPaintMode() && item->column() > 0) {
                if (!viewport->testAttribute(Qt::WA_SetCursor))
                    viewport->setCursor(m_brushCursor);
            } else if (viewport->testAttribute(Qt::WA_SetCursor)) {
                viewport->unsetCursor();
            }
        }
        if (isPaintMode() && (mouse->buttons() & Qt::LeftButton))
            paintItem(item);
    }
    return QDialog::eventFilter(watched, event);
}

ValidationResult FileTaggerDialog::validate()
{
    ValidationResult result;
    const auto invalidExpression = [&result](const QString &text) {
        const QRegularExpression expression(text, QRegularExpression::UseUnicodePropertiesOption);
        if (!expression.isValid()) {
            result.messages.append(ValidationMessage(
                LogLevel::Error, label(InvalidSplitExpressionTextId).arg(expression.errorString())));
            result.valid = false;
        }
    };
    switch (method()) {
    case FileNameSplitMethod::Pattern:
        result.messages.append(ValidationMessage(LogLevel::Info, label(LevelSeparatorInfoTextId).arg(QDir::separator())));
        break;
    case FileNameSplitMethod::SplitExpression:
        invalidExpression(splitExpressionEdit->text());
        break;
    case FileNameSplitMethod::MatchExpression: {
        const QString separator = QDir::separator() == u'\\' ? QStringLiteral("\\\\") : QString(QDir::separator());
        result.messages.append(ValidationMessage(LogLevel::Info, label(LevelSeparatorInfoTextId).arg(separator)));
        result.messages.append(ValidationMessage(LogLevel::Info, label(GroupsInfoTextId)));
        for (const QString &level : matchExpressionLevels(matchExpressionEdit->text()))
            invalidExpression(level);
        break;
    }
    default:
        break;
    }
    if (isPaintMode())
        result.messages.append(ValidationMessage(LogLevel::Info, label(PaintInfoTextId)));
    return result;
}

void FileTaggerDialog::accept()
{
    QDialog::accept();
    IAppMainWindow *window = IAppMainWindow::instance();
    if (!window || !window->selection())
        return;
    try {
        QObject owner;
        auto *operation = new ModelUpdateOperation(*window->selection(), &owner);
        operation->selectsChangedCells = true;
        const bool paint = isPaintMode();
        for (int i = 0; i < m_files.size(); ++i) {
            const QStringList &parts = m_currentParts.at(i);
            for (int j = 0; j < m_partCount && j < parts.size(); ++j) {
                int type = UnassignedItemType;
                if (paint) {
                    const int brush = m_paintTable.value(i).value(j, -1);
                    if (brush >= 0 && brush < m_brushes.size())
                        type = m_brushes.at(brush).itemType;
                } else {
                    type = m_interpretations.value(j).itemType;
                }
                if (type != UnassignedItemType)
                    operation->workingTag(m_files.at(i))->setItemValue(type, parts.at(j), 0);
            }
        }
        if (!operation->changedCells().isEmpty() && window->operationQueue())
            window->operationQueue()->apply(operation);
    } catch (const Exception &) {
        // Logged where it was raised.
    }
}
