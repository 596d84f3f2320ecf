#include "app/tageditors/multitageditorwidget.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/operations/audiofileselection.h"
#include "app/tageditors/linetageditorwidget.h"
#include "app/tageditors/tageditorwidget.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libtagging/model/tagitem.h"

namespace {

// Editors too large for a grid row get a tab of their own.
bool hasOwnTab(int itemType)
{
    switch (itemType) {
    case TagItemType::Artwork:
    case TagItemType::DiscToc:
    case TagItemType::EncapsulatedObject:
    case TagItemType::EventTiming:
    case TagItemType::InvolvedPeopleList:
    case TagItemType::Lyrics:
    case TagItemType::Private:
    case TagItemType::SynchronizedLyrics:
    case TagItemType::UserDefinedLink:
    case TagItemType::UserDefinedText:
        return true;
    default:
        return false;
    }
}

// A count shares the row of its number; -1 for item types that lead their own row.
int rowLeadOf(int itemType)
{
    switch (itemType) {
    case TagItemType::TrackCount:
        return TagItemType::TrackNumber;
    case TagItemType::DiscCount:
        return TagItemType::DiscNumber;
    case TagItemType::MovementCount:
        return TagItemType::MovementNumber;
    default:
        return -1;
    }
}

bool isRowLead(int itemType)
{
    return itemType == TagItemType::TrackNumber || itemType == TagItemType::DiscNumber
        || itemType == TagItemType::MovementNumber;
}

constexpr int GridTopSpacing = 20;

} // namespace

MultiTagEditorWidget::MultiTagEditorWidget(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tabWidget = new QTabWidget(this);
    tabWidget->setBackgroundRole(QPalette::Base);
    layout->addWidget(tabWidget);
}

QScrollArea *MultiTagEditorWidget::addTab(QLayout *layout, const QString &title)
{
    auto *area = new QScrollArea;
    area->setWidgetResizable(true);
    area->setFocusPolicy(Qt::NoFocus);
    area->setFrameShape(QFrame::NoFrame);
    auto *content = new QWidget;
    content->setLayout(layout);
    area->setWidget(content);
    tabWidget->addTab(area, title);
    return area;
}

QScrollArea *MultiTagEditorWidget::addEditorTab(QWidget *editor, const QString &title)
{
    auto *layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(editor, 0, Qt::AlignTop);
    return addTab(layout, title);
}

void MultiTagEditorWidget::addCategory(int category)
{
    QList<TagEditorWidget *> created;
    QList<QScrollArea *> areas;
    QGridLayout *grid = nullptr;
    QMap<int, QHBoxLayout *> rowLayouts;
    int r = 1;
    for (int type : TagItem::typesOfCategory(category)) {
        const int mode = TagEditorWidget::isMultiValueItemType(type) ? TagEditorWidget::MultiValueMode
                                                                     : TagEditorWidget::SingleValueMode;
        TagEditorWidget *editor = TagEditorWidget::createEditor(type, mode, this);
        if (!editor)
            continue;
        connect(editor, &TagEditorWidget::editingFinished, this, &MultiTagEditorWidget::editingFinished);
        connect(editor, &TagEditorWidget::editingCanceled, this, &MultiTagEditorWidget::editingCanceled);
        created.append(editor);
        if (hasOwnTab(type)) {
            const QString title = type == TagItemType::InvolvedPeopleList ? textForId(InvolvedPeopleTabTextId)
                                                                          : TagItem::typeName(type);
            areas.append(addEditorTab(editor, upperCaseFirst(title)));
            continue;
        }
        if (!grid) {
            grid = new QGridLayout;
            grid->setAlignment(Qt::AlignTop);
            grid->setRowMinimumHeight(0, GridTopSpacing);
            areas.append(addTab(grid, upperCaseFirst(TagItem::categoryName(category))));
        }
        const int lead = rowLeadOf(type);
        if (lead >= 0 && rowLayouts.contains(lead)) {
            QHBoxLayout *row = rowLayouts.value(lead);
            row->addWidget(new QLabel(textForId(NumberCountSeparatorTextId)));
            row->addWidget(editor);
            continue;
        }
        auto *label = new QLabel(upperCaseFirst(TagItem::typeName(type)));
        grid->addWidget(label, r, 0, Qt::AlignRight | Qt::AlignTop);
        auto *row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(editor);
        grid->addLayout(row, r, 1, Qt::AlignTop);
        rowLayouts.insert(type, row);
        ++r;
        // Labels one point smaller than the application's font, with a little room.
        setStyleSheet(QStringLiteral("QLabel { margin: 1px; font-size: %1pt; }")
                          .arg(QApplication::font().pointSize() - 1));
    }
    for (QScrollArea *area : std::as_const(areas)) {
        const int width = area->widget()->minimumSizeHint().width();
        area->widget()->setMinimumWidth(width);
        area->setMinimumWidth(width + area->verticalScrollBar()->sizeHint().width());
    }
    editors += created;
    editorsByCategory.insert(category, created);
}

void MultiTagEditorWidget::setSelection(const AudioFileSelection &selection)
{
    for (auto it = editorsByCategory.constBegin(); it != editorsByCategory.constEnd(); ++it)
        setCategorySelection(it.key(), selection);
}

void MultiTagEditorWidget::setCategorySelection(int category, const AudioFileSelection &selection)
{
    const QList<TagEditorWidget *> categoryEditors = editorsByCategory.value(category);
    int width = 0;
    for (TagEditorWidget *editor : categoryEditors) {
        editor->setSelection(selection, -1, -1);
        if (auto *line = qobject_cast<LineTagEditorWidget *>(editor))
            width = qMax(width, line->buttonColumnWidth());
    }
    for (TagEditorWidget *editor : categoryEditors) {
        auto *line = qobject_cast<LineTagEditorWidget *>(editor);
        if (line && !isRowLead(editor->itemType()))
            line->setButtonColumnWidth(width);
    }
}

bool MultiTagEditorWidget::isModified()
{
    for (auto it = editorsByCategory.constBegin(); it != editorsByCategory.constEnd(); ++it) {
        if (isCategoryModified(it.key()))
            return true;
    }
    return false;
}

bool MultiTagEditorWidget::isCategoryModified(int category)
{
    for (TagEditorWidget *editor : editorsByCategory.value(category)) {
        if (editor->isModified())
            return true;
    }
    return false;
}

void MultiTagEditorWidget::applyTo(ModelUpdateOperation *operation)
{
    for (auto it = editorsByCategory.constBegin(); it != editorsByCategory.constEnd(); ++it)
        applyCategoryTo(it.key(), operation);
}

void MultiTagEditorWidget::applyCategoryTo(int category, ModelUpdateOperation *operation)
{
    for (TagEditorWidget *editor : editorsByCategory.value(category)) {
        if (editor->isModified())
            editor->applyTo(operation);
    }
}
