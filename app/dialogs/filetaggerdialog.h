#pragma once

#include <QColor>
#include <QCursor>
#include <QList>
#include <QStringList>

#include "libgui/dialogs/commondialog.h"

class AudioFile;
class ContentAssistLineEdit;
class ExtLineEdit;
class ExtTableWidget;
class ModelDataTypeComboBox;
class QGridLayout;
class QLabel;
class QRadioButton;
class QScrollArea;
class QStackedWidget;
class QTableWidgetItem;
class QToolButton;

enum FileTaggerTextId : quint32 {
    FileTaggerTitleTextId = 1833076191u,
    SplitTitleTextId = 2004263288u,
    SplitAutomaticTextId = 2739367591u,
    SplitSeparatorTextId = 3400724612u,
    SplitPatternTextId = 2752865302u,
    SplitExpressionTextId = 2319572935u,
    MatchExpressionTextId = 2161128212u,
    AssignmentTitleTextId = 1924731529u,
    InterpretationModeTextId = 3189864173u,
    PaintModeTextId = 4084481978u,
    AddBrushesTextId = 3635748560u,
    EraserTextId = 2970792809u,
    PreviewTitleTextId = 473477883u,
    PartHeaderTextId = 3806672570u,      // %1 the part number
    BrushColorTipTextId = 138077309u,    // %1 the item type's name
    AddBrushesTitleTextId = 1689264641u,
    LevelSeparatorInfoTextId = 3878992602u, // %1 the folder separator
    InvalidSplitExpressionTextId = 1338419477u, // %1 what is wrong
    GroupsInfoTextId = 481637314u,
    PaintInfoTextId = 3133916631u,
};

// Fills tag items of the selected files from their file and folder names: the names are
// split into parts, each part index (or, painting, each cell) is assigned an item type, and
// OK applies one update operation. Works on the main window's selection when it opens.
class FileTaggerDialog : public CommonDialog
{
    Q_OBJECT
public:
    struct FileNameInterpretation {
        int itemType = 126;
        QLabel *label = nullptr;
        ModelDataTypeComboBox *comboBox = nullptr;
    };
    struct TypeBrush {
        int itemType = 0;
        QColor color;
        QColor textColor;
        QRadioButton *radioButton = nullptr;
        QToolButton *colorButton = nullptr;
    };

    explicit FileTaggerDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~FileTaggerDialog() override;

    bool eventFilter(QObject *watched, QEvent *event) override;
    QSize sizeHint() const override;
    ValidationResult validate() override;

    const QList<AudioFile *> &files() const { return m_files; }
    const QList<QStringList> &currentParts() const { return m_currentParts; }
    int partCount() const { return m_partCount; }
    const QList<FileNameInterpretation> &interpretations() const { return m_interpretations; }
    const QList<TypeBrush> &brushes() const { return m_brushes; }
    const QList<QList<int>> &paintTable() const { return m_paintTable; }

    // The split methods in FileNameSplitMethod order, with the edits of those that have one.
    QList<QRadioButton *> methodButtons;
    ExtLineEdit *separatorEdit = nullptr;
    ContentAssistLineEdit *patternEdit = nullptr;
    ContentAssistLineEdit *splitExpressionEdit = nullptr;
    ContentAssistLineEdit *matchExpressionEdit = nullptr;
    QRadioButton *interpretationModeButton = nullptr;
    QRadioButton *paintModeButton = nullptr;
    QRadioButton *eraserButton = nullptr;
    QToolButton *addBrushButton = nullptr;
    ExtTableWidget *previewTable = nullptr;
    QStackedWidget *pageStackWidget = nullptr;

    // The brush colours after the standard ones; tests seed it.
    static void seedBrushColors(quint32 seed);

public Q_SLOTS:
    void accept() override;

private Q_SLOTS:
    void updateGui();
    void onInterpretationComboBoxChanged();
    void onAddButtonClicked();
    void onColorButtonClicked();
    void onSectionClicked(int index);

private:
    int method() const;
    void loadFiles();
    void computeAutomaticParts();
    void computeParts();
    void addInterpretation(int itemType);
    QColor nextBrushColor() const;
    void addTypeBrush(int itemType, const QColor &color);
    void updateBrushStyle(const TypeBrush &brush);
    void updatePages();
    void updateTable();
    void updateTableHeaders();
    void updateTableItems();
    void paintItem(QTableWidgetItem *item);
    bool isPaintMode() const;

    QList<AudioFile *> m_files;
    QList<QStringList> m_nameLevels;
    QList<QStringList> m_automaticParts;
    QList<QStringList> m_currentParts;
    QList<int> m_patternItemTypes;
    int m_partCount = 0;
    QList<FileNameInterpretation> m_interpretations;
    QList<TypeBrush> m_brushes;
    QList<QList<int>> m_paintTable;
    bool m_forwarding = false;
    QWidget *m_interpretationPage = nullptr;
    QWidget *m_brushPage = nullptr;
    QGridLayout *m_interpretationGrid = nullptr;
    QGridLayout *m_brushGrid = nullptr;
    QScrollArea *m_scrollArea = nullptr;
    QCursor m_brushCursor;
};
