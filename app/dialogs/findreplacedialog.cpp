#include "app/dialogs/findreplacedialog.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/dialogs/regexppopup.h"
#include "app/model/modeldatatype.h"
#include "app/model/iaudiofilemodel.h"
#include "app/operations/audiofileselection.h"
#include "app/search/searchhandler.h"
#include "app/search/searchquery.h"
#include "app/shell/iappmainwindow.h"
#include "libgui/icons/icons.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/log/logmessage.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/combos/extcombobox.h"
#include "libgui/edits/contentassistlineedit.h"
#include "libtagging/model/tagitem.h"

namespace {

QString label(quint32 textId)
{
    return upperCaseFirst(textForId(textId));
}

QGroupBox *addBoxLayout(QGridLayout *grid, quint32 titleId, int row, int column, int columnSpan, QVBoxLayout **layout)
{
    auto *box = new QGroupBox(label(titleId));
    *layout = new QVBoxLayout(box);
    (*layout)->setAlignment(Qt::AlignTop);
    grid->addWidget(box, row, column, 1, columnSpan);
    return box;
}

const AudioFileSelection &currentSelection()
{
    static const AudioFileSelection none;
    IAppMainWindow *window = IAppMainWindow::instance();
    const AudioFileSelection *selection = window ? window->selection() : nullptr;
    return selection ? *selection : none;
}

} // namespace

FindReplaceDialog::FindReplaceDialog(IAudioFileModel *model, SearchHandler *handler, QWidget *parent,
                                     Qt::WindowFlags flags)
    : CommonDialog(parent, flags), m_model(model), m_handler(handler)
{
    // A main window as the content, for its tool bar of the two modes.
    auto *content = new QMainWindow(nullptr, Qt::WindowFlags());
    content->setContextMenuPolicy(Qt::NoContextMenu);
    setContentWidget(content);
    setOuterMargins(false);
    setSizeFixed(true);
    auto *central = new QWidget;
    auto *grid = new QGridLayout(central);
    content->setCentralWidget(central);

    auto *toolBar = new QToolBar(content);
    toolBar->setIconSize(QSize(defaultIconSize(), defaultIconSize()));
    toolBar->setFloatable(false);
    toolBar->setMovable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->setMinimumWidth(400);
    content->addToolBar(toolBar);
    auto *modeGroup = new QActionGroup(this);
    modeGroup->setExclusive(true);
    connect(modeGroup, &QActionGroup::triggered, this, &FindReplaceDialog::onModeToggled);
    findModeAction = new QAction(loadIcon(QStringLiteral("find")), label(FindTextId), this);
    replaceModeAction = new QAction(loadIcon(QStringLiteral("replace")), label(ReplaceTextId), this);
    for (QAction *action : {findModeAction, replaceModeAction}) {
        action->setCheckable(true);
        toolBar->addAction(action);
        modeGroup->addAction(action);
    }
    findModeAction->setChecked(true);

    // The texts.
    searchGroupBox = new QGroupBox;
    auto *searchGrid = new QGridLayout(searchGroupBox);
    searchGrid->addWidget(new QLabel(label(FindTextId)), 0, 0);
    findEdit = new ContentAssistLineEdit;
    searchGrid->addWidget(findEdit, 0, 1);
    replacementLabel = new QLabel(label(ReplaceTextId));
    searchGrid->addWidget(replacementLabel, 1, 0);
    replacementEdit = new ContentAssistLineEdit;
    searchGrid->addWidget(replacementEdit, 1, 1);
    grid->addWidget(searchGroupBox, 0, 0, 1, 2);
    connect(findEdit, &QLineEdit::textChanged, this, &FindReplaceDialog::updateGui);

    QVBoxLayout *layout = nullptr;
    addBoxLayout(grid, SearchScopeTitleTextId, 1, 0, 1, &layout);
    for (quint32 textId : {AllFilesScopeTextId, DisplayedFilesScopeTextId, SelectedFilesScopeTextId,
                           SelectedCellsScopeTextId, PreviousScopeTextId}) {
        auto *button = new QRadioButton(label(textId));
        layout->addWidget(button);
        connect(button, &QRadioButton::clicked, this, &FindReplaceDialog::updateGui);
        scopeButtons.append(button);
    }
    scopeButtons.first()->setChecked(true);

    addBoxLayout(grid, DirectionTitleTextId, 1, 1, 1, &layout);
    forwardButton = new QRadioButton(label(ForwardTextId));
    forwardButton->setChecked(true);
    backwardButton = new QRadioButton(label(BackwardTextId));
    layout->addWidget(forwardButton);
    layout->addWidget(backwardButton);

    addBoxLayout(grid, OptionsTitleTextId, 2, 0, 1, &layout);
    matchCaseBox = new QCheckBox(label(MatchCaseTextId));
    wholeWordsBox = new QCheckBox(label(WholeWordsTextId));
    wildcardsBox = new QCheckBox(label(WildcardsTextId));
    regularExpressionBox = new QCheckBox(label(RegularExpressionTextId));
    wrapAroundBox = new QCheckBox(label(WrapAroundTextId));
    wrapAroundBox->setChecked(true);
    for (QCheckBox *box : {matchCaseBox, wholeWordsBox, wildcardsBox, regularExpressionBox, wrapAroundBox})
        layout->addWidget(box);
    connect(wildcardsBox, &QCheckBox::clicked, this, &FindReplaceDialog::updateGui);
    connect(regularExpressionBox, &QCheckBox::clicked, this, &FindReplaceDialog::updateGui);

    auto *comparisonBox = new QGroupBox(label(ComparisonTitleTextId));
    auto *comparisonGrid = new QGridLayout(comparisonBox);
    comparisonGrid->setHorizontalSpacing(20);
    for (int op = 0; op <= ComparisonOperator::GreaterThanOrEqual; ++op) {
        auto *button = new QRadioButton(upperCaseFirst(comparisonOperatorDisplayName(op)));
        comparisonGrid->addWidget(button, op % 5, op / 5);
        button->setChecked(op == 0);
        button->setProperty("comparisonOperator", op);
        comparisonButtons.append(button);
    }
    grid->addWidget(comparisonBox, 2, 1);

    addBoxLayout(grid, DataTypeTitleTextId, 3, 0, 2, &layout);
    dataTypeComboBox = new ExtComboBox;
    layout->addWidget(dataTypeComboBox);
    layout->addStretch();

    auto *buttons = new QGridLayout;
    findButton = new QPushButton(label(FindTextId));
    findAllButton = new QPushButton(label(FindAllTextId));
    replaceButton = new QPushButton(label(ReplaceTextId));
    replaceAllButton = new QPushButton(label(ReplaceAllTextId));
    buttons->addWidget(findButton, 0, 0);
    buttons->addWidget(findAllButton, 0, 1);
    buttons->addWidget(replaceButton, 1, 0);
    buttons->addWidget(replaceAllButton, 1, 1);
    connect(findButton, &QPushButton::clicked, this, &FindReplaceDialog::onFindClicked);
    connect(findAllButton, &QPushButton::clicked, this, &FindReplaceDialog::onFindAllClicked);
    connect(replaceButton, &QPushButton::clicked, this, &FindReplaceDialog::onReplaceClicked);
    connect(replaceAllButton, &QPushButton::clicked, this, &FindReplaceDialog::onReplaceAllClicked);
    buttonLayout->removeWidget(cancelButton);
    buttons->addWidget(cancelButton, 2, 1);
    cancelButton->setText(label(CloseTextId));
    okButton->hide();
    insertButtonLayout(buttons);

    updateGui();
}

FindReplaceDialog::~FindReplaceDialog() = default;

void FindReplaceDialog::setFindMode(bool findOnly)
{
    m_findMode = findOnly;
    (findOnly ? findModeAction : replaceModeAction)->setChecked(true);
    updateGui();
}

void FindReplaceDialog::onModeToggled()
{
    if (findModeAction->isChecked())
        m_findMode = true;
    else if (replaceModeAction->isChecked())
        m_findMode = false;
    updateGui();
}

void FindReplaceDialog::updateRegExpPopup()
{
    // A fresh popup each time the box is checked again.
    if (regularExpressionBox->isChecked() && !findEdit->contentAssistPopup())
        findEdit->setContentAssistPopup(new RegExpPopup);
    else if (!regularExpressionBox->isChecked() && findEdit->contentAssistPopup())
        findEdit->setContentAssistPopup(nullptr);
}

void FindReplaceDialog::updateGui()
{
    const QAction *modeAction = m_findMode ? findModeAction : replaceModeAction;
    setWindowTitle(modeAction->text());
    setWindowIcon(modeAction->icon());
    searchGroupBox->setTitle(label(m_findMode ? FindTextId : ReplaceTextId));

    replacementLabel->setVisible(!m_findMode);
    replacementEdit->setVisible(!m_findMode);

    const bool hasSelection = !currentSelection().isEmpty();
    scopeButtons.at(FindReplaceOptions::SelectedFiles)->setEnabled(hasSelection);
    scopeButtons.at(FindReplaceOptions::SelectedCells)->setEnabled(hasSelection);
    scopeButtons.at(FindReplaceOptions::PreviousScope)->setEnabled(m_handler && m_handler->query());
    for (QRadioButton *button : std::as_const(scopeButtons)) {
        if (button->isChecked() && !button->isEnabled())
            scopeButtons.first()->setChecked(true);
    }

    // The box just clicked wins.
    if (wildcardsBox->isChecked() && regularExpressionBox->isChecked()) {
        if (sender() == regularExpressionBox)
            wildcardsBox->setChecked(false);
        else
            regularExpressionBox->setChecked(false);
    }
    // After the boxes settle, so that unchecking by the other box drops the popup too.
    updateRegExpPopup();
    const bool plain = !wildcardsBox->isChecked() && !regularExpressionBox->isChecked();
    wholeWordsBox->setEnabled(plain);
    bool fallBack = false;
    for (int op = ComparisonOperator::LessThan; op < comparisonButtons.size(); ++op) {
        QRadioButton *button = comparisonButtons.at(op);
        button->setEnabled(plain);
        fallBack = fallBack || (button->isChecked() && !plain);
    }
    if (fallBack)
        comparisonButtons.first()->setChecked(true);

    dataTypeComboBox->setEnabled(!scopeButtons.at(FindReplaceOptions::SelectedCells)->isChecked()
                                 && !scopeButtons.at(FindReplaceOptions::PreviousScope)->isChecked());

    updateDialogGui();
}

void FindReplaceDialog::updateDialogButtons()
{
    CommonDialog::updateDialogButtons();
    const bool valid = acceptEnabled;
    findButton->setDefault(m_findMode);
    findButton->setEnabled(valid);
    findAllButton->setEnabled(valid);
    replaceButton->setDefault(!m_findMode);
    replaceButton->setVisible(!m_findMode);
    replaceButton->setEnabled(valid);
    replaceAllButton->setVisible(!m_findMode);
    replaceAllButton->setEnabled(valid);
}

ValidationResult FindReplaceDialog::validate()
{
    return options().validate();
}

void FindReplaceDialog::setVisible(bool visible)
{
    if (visible) {
        m_offeredDataTypes.clear();
        if (m_model) {
            for (const ModelDataType &type : m_model->dataTypes()) {
                if (!type.isTagItem() || TagItem::isTextualType(type.id))
                    m_offeredDataTypes.append(type);
            }
        }
        dataTypeComboBox->clear();
        dataTypeComboBox->addItem(label(AllDataTypesTextId), -1);
        for (int j = 0; j < m_offeredDataTypes.size(); ++j)
            dataTypeComboBox->addItem(upperCaseFirst(dataTypeDisplayName(m_offeredDataTypes.at(j))), j);
        updateGui();
        findEdit->setFocus(Qt::OtherFocusReason);
    }
    CommonDialog::setVisible(visible);
}

FindReplaceOptions FindReplaceDialog::options() const
{
    FindReplaceOptions options;
    options.findText = findEdit->text();
    options.replaces = !m_findMode;
    options.replacementText = replacementEdit->text();
    for (int i = 0; i < scopeButtons.size(); ++i) {
        if (scopeButtons.at(i)->isChecked())
            options.scope = i;
    }
    const int j = dataTypeComboBox->currentData(Qt::UserRole).toInt();
    if (dataTypeComboBox->currentIndex() >= 0 && j >= 0 && j < m_offeredDataTypes.size())
        options.dataTypes = {m_offeredDataTypes.at(j)};
    options.matchCase = matchCaseBox->isChecked();
    options.wholeWords = wholeWordsBox->isEnabled() && wholeWordsBox->isChecked();
    options.wildcards = wildcardsBox->isChecked();
    options.regularExpression = regularExpressionBox->isChecked();
    options.wrapAround = wrapAroundBox->isChecked();
    for (QRadioButton *button : comparisonButtons) {
        if (button->isChecked()) {
            options.comparisonOperator = button->property("comparisonOperator").toInt();
            break;
        }
    }
    return options;
}

SearchQuery *FindReplaceDialog::buildQuery(QObject *parent) const
{
    return options().buildQuery(m_model, currentSelection(), m_handler ? m_handler->query() : nullptr, parent);
}

void FindReplaceDialog::applyQuery()
{
    if (!m_handler)
        return;
    QObject owner;
    m_handler->setQuery(buildQuery(&owner));
}

void FindReplaceDialog::keepPreviousScope()
{
    // Finding moves the table selection: the next search keeps the files selected now.
    if (scopeButtons.at(FindReplaceOptions::SelectedFiles)->isChecked()
        || scopeButtons.at(FindReplaceOptions::SelectedCells)->isChecked())
        scopeButtons.at(FindReplaceOptions::PreviousScope)->setChecked(true);
}

void FindReplaceDialog::onFindClicked()
{
    stepThroughMatches(false);
}

void FindReplaceDialog::onReplaceClicked()
{
    stepThroughMatches(true);
}

void FindReplaceDialog::stepThroughMatches(bool replace)
{
    if (!m_handler || !options().validate().valid)
        return;
    try {
        applyQuery();
        keepPreviousScope();
        updateGui();
        const bool forward = forwardButton->isChecked();
        if (replace)
            forward ? m_handler->replaceNext() : m_handler->replacePrevious();
        else
            forward ? m_handler->findNext() : m_handler->findPrevious();
    } catch (const Exception &) {
        // Logged where it was raised.
    }
}

void FindReplaceDialog::onFindAllClicked()
{
    if (!m_handler || !options().validate().valid)
        return;
    try {
        applyQuery();
        m_handler->findAll();
        Logger::logToAll(LogMessage(FoundCellsLogId, LogLevel::Info,
                                    {m_handler->resultCount(), m_handler->findText()}));
    } catch (const Exception &) {
    }
    reject();
}

void FindReplaceDialog::onReplaceAllClicked()
{
    if (!m_handler || !options().validate().valid)
        return;
    try {
        applyQuery();
        const QString findText = m_handler->findText();
        const QString replacement = m_handler->replacementText();
        const int count = m_handler->replaceAll();
        updateGui();
        Logger::logToAll(LogMessage(ReplacedCellsLogId, LogLevel::Info, {count, findText, replacement}));
        if (IAppMainWindow *window = IAppMainWindow::instance())
            window->showInformation(
                label(ReplacedCellsMessageTextId).arg(QString::number(count), findText, replacement));
    } catch (const Exception &) {
    }
}
