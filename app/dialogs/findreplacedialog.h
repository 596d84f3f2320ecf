#pragma once

#include <QList>

#include "app/dialogs/findreplacequery.h"
#include "app/model/modeldatatype.h"
#include "libgui/dialogs/commondialog.h"

class ContentAssistLineEdit;
class ExtComboBox;
class IAudioFileModel;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class SearchHandler;
class SearchQuery;

enum FindReplaceTextId : quint32 {
    FindTextId = 3183276624u,
    ReplaceTextId = 66440014u,
    SearchScopeTitleTextId = 870875443u,
    AllFilesScopeTextId = 1925312643u,
    DisplayedFilesScopeTextId = 2481801376u,
    SelectedFilesScopeTextId = 3466515084u,
    SelectedCellsScopeTextId = 304096816u,
    PreviousScopeTextId = 1231572047u,
    DirectionTitleTextId = 3130415737u,
    ForwardTextId = 908239227u,
    BackwardTextId = 1358043873u,
    OptionsTitleTextId = 2132428954u,
    MatchCaseTextId = 3735429491u,
    WholeWordsTextId = 3351053043u,
    WildcardsTextId = 3308844125u,
    RegularExpressionTextId = 2983644610u,
    WrapAroundTextId = 448848428u,
    ComparisonTitleTextId = 2689493389u,
    DataTypeTitleTextId = 3723436729u,
    AllDataTypesTextId = 551297148u,
    FindAllTextId = 2076310977u,
    ReplaceAllTextId = 399545328u,
    CloseTextId = 814684667u,
    FoundCellsLogId = 3317845028u,        // [count, find text]
    ReplacedCellsLogId = 231459789u,      // [count, find text, replacement]
    ReplacedCellsMessageTextId = 1807943050u, // %1 count, %2 find text, %3 replacement
};

// The one find and replace window: it turns its controls into a query for the main window's
// search handler, which finds, selects and replaces; the dialog itself searches nothing.
// Not modal; shown and hidden for the main window's whole life.
class FindReplaceDialog : public CommonDialog
{
    Q_OBJECT
public:
    FindReplaceDialog(IAudioFileModel *model, SearchHandler *handler, QWidget *parent = nullptr,
                      Qt::WindowFlags flags = {});
    ~FindReplaceDialog() override;

    void setFindMode(bool findOnly);
    bool isFindMode() const { return m_findMode; }
    ValidationResult validate() override;

    // The controls as query options.
    FindReplaceOptions options() const;
    SearchQuery *buildQuery(QObject *parent) const;
    void applyQuery();

    const QList<ModelDataType> &offeredDataTypes() const { return m_offeredDataTypes; }

    // The controls, for the main window's wiring and for tests.
    QAction *findModeAction = nullptr;
    QAction *replaceModeAction = nullptr;
    QGroupBox *searchGroupBox = nullptr;
    ContentAssistLineEdit *findEdit = nullptr;
    QLabel *replacementLabel = nullptr;
    ContentAssistLineEdit *replacementEdit = nullptr;
    QList<QRadioButton *> scopeButtons; // all, displayed, selected files, selected cells, previous
    QRadioButton *forwardButton = nullptr;
    QRadioButton *backwardButton = nullptr;
    QCheckBox *matchCaseBox = nullptr;
    QCheckBox *wholeWordsBox = nullptr;
    QCheckBox *wildcardsBox = nullptr;
    QCheckBox *regularExpressionBox = nullptr;
    QCheckBox *wrapAroundBox = nullptr;
    QList<QRadioButton *> comparisonButtons;
    ExtComboBox *dataTypeComboBox = nullptr;
    QPushButton *findButton = nullptr;
    QPushButton *findAllButton = nullptr;
    QPushButton *replaceButton = nullptr;
    QPushButton *replaceAllButton = nullptr;

public Q_SLOTS:
    void updateGui();
    void setVisible(bool visible) override;

protected Q_SLOTS:
    void updateDialogButtons() override;

private Q_SLOTS:
    void onModeToggled();
    void onFindClicked();
    void onFindAllClicked();
    void onReplaceClicked();
    void onReplaceAllClicked();

private:
    // Find or replace the next or previous match, in the direction chosen.
    void stepThroughMatches(bool replace);
    void updateRegExpPopup();
    void keepPreviousScope();

    IAudioFileModel *m_model;
    SearchHandler *m_handler;
    bool m_findMode = true;
    QList<ModelDataType> m_offeredDataTypes;
    bool m_valid = false;
};
