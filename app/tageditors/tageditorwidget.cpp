#include "app/tageditors/tageditorwidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableWidget>

#include "app/operations/modelupdateoperation.h"
#include "app/tageditors/tageditorregistration.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/editing/tageditorregistry.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"

namespace {

struct FactoryRegistries {
    QHash<int, TagEditorWidget::AbstractFactory *> byItemType;
    QHash<int, TagEditorWidget::AbstractFactory *> byDataType;
};

FactoryRegistries &registries()
{
    static FactoryRegistries instance;
    return instance;
}

// Placeholders shown in narrow inputs would be cut off; those stay empty instead.
constexpr int PlaceholderMinimumWidth = 99;

QString placeholderText()
{
    return upperCaseFirst(textForId(MixedValuesTextId));
}

} // namespace

bool TagEditorWidget::AbstractFactory::isAvailable(int mode) const
{
    if (mode == InlineMode)
        return inlineEditor;
    if (mode == DockMode)
        return dockEditor;
    return true;
}

void TagEditorWidget::registerTagEditorFactory(bool byItemType, int key, AbstractFactory *factory,
                                               bool inlineEditor, bool dockEditor)
{
    factory->inlineEditor = inlineEditor;
    factory->dockEditor = dockEditor;
    auto &registry = byItemType ? registries().byItemType : registries().byDataType;
    if (registry.contains(key))
        return;
    registry.insert(key, factory);
    QList<int> modes{SingleValueMode, AppendMode, MultiValueMode};
    if (inlineEditor)
        modes.prepend(InlineMode);
    if (dockEditor)
        modes.append(DockMode);
    if (byItemType)
        TagEditorRegistry::registerItemTypeEditor(key, modes);
    else
        TagEditorRegistry::registerDataTypeEditor(key, modes);
}

TagEditorWidget::AbstractFactory *TagEditorWidget::findFactory(int itemType)
{
    registerTagEditors();
    const FactoryRegistries &r = registries();
    if (AbstractFactory *factory = r.byItemType.value(itemType))
        return factory;
    return r.byDataType.value(TagItem::dataTypeOf(itemType));
}

bool TagEditorWidget::hasEditor(int itemType, int mode)
{
    const AbstractFactory *factory = findFactory(itemType);
    return factory && factory->isAvailable(mode);
}

TagEditorWidget *TagEditorWidget::createEditor(int itemType, int mode, QWidget *parent)
{
    if (!hasEditor(itemType, mode))
        return nullptr;
    TagEditorWidget *editor = findFactory(itemType)->create(itemType, mode, parent);
    editor->updateGui();
    return editor;
}

bool TagEditorWidget::isMultiValueItemType(int itemType)
{
    switch (itemType) {
    case TagItemType::AlbumArtist:
    case TagItemType::AlbumArtistSortName:
    case TagItemType::Artist:
    case TagItemType::ArtistSortName:
    case TagItemType::Artwork:
    case TagItemType::Comment:
    case TagItemType::EncapsulatedObject:
    case TagItemType::Genre:
    case TagItemType::Language:
    case TagItemType::Mood:
    case TagItemType::OriginalArtist:
    case TagItemType::Private:
    case TagItemType::UserDefinedLink:
    case TagItemType::UserDefinedText:
        return true;
    default:
        return false;
    }
}

int TagEditorWidget::maxItemCount(int itemType, const AudioFileSelection &selection)
{
    int result = 0;
    for (auto it = selection.dataTypesByFile().constBegin(); it != selection.dataTypesByFile().constEnd(); ++it) {
        if (const AudioTag *tag = it.key()->combinedTag())
            result = qMax(result, tag->itemCount(itemType));
    }
    return result;
}

void TagEditorWidget::setInputWidgetEnabled(QWidget *input, bool enabled)
{
    if (!input)
        return;
    input->setEnabled(enabled);
    const QString placeholder = placeholderText();
    if (auto *label = qobject_cast<QLabel *>(input)) {
        label->setText(enabled ? QString() : placeholder);
    } else if (auto *lineEdit = qobject_cast<QLineEdit *>(input)) {
        lineEdit->setText(!enabled && lineEdit->maximumWidth() > PlaceholderMinimumWidth ? placeholder : QString());
    } else if (auto *combo = qobject_cast<QComboBox *>(input)) {
        if (QLineEdit *edit = combo->lineEdit())
            edit->setText(!enabled && combo->maximumWidth() > PlaceholderMinimumWidth ? placeholder : QString());
        else
            combo->setCurrentIndex(enabled ? 0 : -1);
    } else if (auto *spinBox = qobject_cast<QSpinBox *>(input)) {
        if (enabled) {
            spinBox->setSpecialValueText(QString());
        } else {
            spinBox->setSpecialValueText(placeholder);
            spinBox->setValue(spinBox->minimum());
        }
    } else if (auto *plainText = qobject_cast<QPlainTextEdit *>(input)) {
        if (!enabled && plainText->maximumWidth() > PlaceholderMinimumWidth)
            plainText->setPlainText(placeholder);
        else
            plainText->clear();
    } else if (auto *checkBox = qobject_cast<QCheckBox *>(input)) {
        checkBox->setCheckState(enabled ? Qt::Unchecked : Qt::PartiallyChecked);
    } else if (auto *table = qobject_cast<QTableWidget *>(input)) {
        if (enabled) {
            table->setRowCount(0);
        } else {
            table->setRowCount(1);
            for (int column = 0; column < table->columnCount(); ++column)
                table->setItem(0, column, new QTableWidgetItem(placeholder));
        }
    }
}

QEvent::Type TagEditorWidget::editingStartedEventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

QEvent::Type TagEditorWidget::editingFinishedEventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

TagEditorWidget::TagEditorWidget(int itemType, int mode, QWidget *parent)
    : QWidget(parent), m_itemType(itemType), m_mode(mode)
{
    gridLayout = new QGridLayout(this);
    gridLayout->setContentsMargins(0, 0, 0, 0);
}

TagEditorWidget::~TagEditorWidget() = default;

void TagEditorWidget::setSelection(const AudioFileSelection &selection, int first, int count)
{
    m_selection = selection;
    if (first == -1)
        first = m_mode == AppendMode ? maxItemCount(m_itemType, selection) : 0;
    first = qMax(0, first);
    if (m_mode == InlineMode || m_mode == SingleValueMode)
        count = 1;
    else if (m_mode == AppendMode)
        count = 0;
    else if (count == -1)
        count = qMax(0, maxItemCount(m_itemType, selection) - first);
    count = qMax(0, count);
    m_first = first;
    m_count = count;
    m_rowCount = count;

    clearItems();

    AudioFileSelection::Iterator it(selection);
    while (it.hasNextFile()) {
        AudioFile *file = it.nextFile();
        if (itemsByFile.contains(file))
            continue;
        QList<TagItem *> items;
        if (const AudioTag *tag = file->combinedTag())
            items = tag->items(m_itemType).mid(first, count);
        while (items.size() < count)
            items.append(nullptr);
        itemsByFile.insert(file, items);
        loadedItemsByFile.insert(file, QList<const TagItem *>(items.cbegin(), items.cend()));
        m_files.append(file);
    }
    updateGui();
}

void TagEditorWidget::clearItems()
{
    for (const QList<TagItem *> &items : std::as_const(itemsByFile)) {
        for (TagItem *item : items) {
            if (ownsItem(item))
                delete item;
        }
    }
    itemsByFile.clear();
    loadedItemsByFile.clear();
    m_files.clear();
}

QList<TagItem *> TagEditorWidget::itemsAtRow(int row) const
{
    QList<TagItem *> result;
    for (AudioFile *file : m_files) {
        const QList<TagItem *> &items = itemsByFile[file];
        result.append(row >= 0 && row < items.size() ? items.at(row) : nullptr);
    }
    return result;
}

bool TagEditorWidget::ownsItem(const TagItem *item) const
{
    return item && item->parent() == this;
}

void TagEditorWidget::commitInput()
{
    readInputValues();
    for (AudioFile *file : std::as_const(m_files)) {
        QList<TagItem *> &items = itemsByFile[file];
        for (int i = 0; i < items.size(); ++i) {
            if (!isRowModified(file, i))
                continue;
            TagItem *item = items.at(i);
            if (!isRowEmpty(file, i)) {
                if (!item) {
                    item = TagItem::create(m_itemType, this);
                    if (!item)
                        continue;
                } else if (!ownsItem(item)) {
                    item = item->clone(this);
                }
                writeRow(item, file, i);
                items[i] = item;
            } else {
                if (ownsItem(item))
                    delete item;
                items[i] = nullptr;
            }
        }
    }
}

bool TagEditorWidget::isFileModified(AudioFile *file) const
{
    const AudioTag *tag = file->combinedTag();
    int i = m_first;
    for (const TagItem *entry : itemsByFile.value(file)) {
        if (!entry)
            continue;
        if (!tag)
            return true;
        const TagItem *existing = tag->item(m_itemType, i);
        if (!existing || !entry->equals(existing))
            return true;
        ++i;
    }
    if (!tag)
        return false;
    // A value that is no longer there was removed.
    return i < m_first + m_count && tag->itemCount(m_itemType) > i;
}

bool TagEditorWidget::isModified()
{
    commitInput();
    for (AudioFile *file : std::as_const(m_files)) {
        if (isFileModified(file))
            return true;
    }
    return false;
}

void TagEditorWidget::applyTo(ModelUpdateOperation *operation)
{
    commitInput();
    for (AudioFile *file : std::as_const(m_files)) {
        // Files the edit leaves as they are get no working tag, so nothing of theirs changes.
        if (!isFileModified(file))
            continue;
        AudioTag *tag = operation->workingTag(file);
        for (int n = m_first + m_count - 1; n >= m_first; --n)
            tag->removeItem(m_itemType, n);
        int i = m_first;
        for (const TagItem *entry : std::as_const(itemsByFile[file])) {
            if (!entry)
                continue;
            // Copies: the editor keeps its own items, so no host reaches an item the tag owns.
            tag->insertItem(entry->clone(), i);
            ++i;
        }
    }
    operation->setDescription(m_description);
}

bool TagEditorWidget::event(QEvent *event)
{
    if (event->type() == editingStartedEventType()) {
        onEditingStarted(event);
        return true;
    }
    if (event->type() == editingFinishedEventType()) {
        finishEditing(event);
        return true;
    }
    return QWidget::event(event);
}

void TagEditorWidget::updateGui()
{
    setEnabled(!m_selection.isEmpty());
}

void TagEditorWidget::insertRow(const TagItem *item, int row)
{
    for (AudioFile *file : std::as_const(m_files)) {
        QList<TagItem *> &items = itemsByFile[file];
        items.insert(qBound(0, row, int(items.size())), item ? item->clone(this) : nullptr);
        QList<const TagItem *> &loaded = loadedItemsByFile[file];
        loaded.insert(qBound(0, row, int(loaded.size())), nullptr);
    }
    ++m_rowCount;
}

void TagEditorWidget::onRowMoved(int from, int to)
{
    for (AudioFile *file : std::as_const(m_files)) {
        QList<TagItem *> &items = itemsByFile[file];
        if (from >= 0 && from < items.size() && to >= 0 && to < items.size())
            items.move(from, to);
        QList<const TagItem *> &loaded = loadedItemsByFile[file];
        if (from >= 0 && from < loaded.size() && to >= 0 && to < loaded.size())
            loaded.move(from, to);
    }
}

void TagEditorWidget::onRowRemoved(int row)
{
    for (AudioFile *file : std::as_const(m_files)) {
        QList<TagItem *> &items = itemsByFile[file];
        if (row < 0 || row >= items.size())
            continue;
        TagItem *item = items.takeAt(row);
        if (ownsItem(item))
            delete item;
        QList<const TagItem *> &loaded = loadedItemsByFile[file];
        if (row < loaded.size())
            loaded.removeAt(row);
    }
    m_rowCount = qMax(0, m_rowCount - 1);
}

void TagEditorWidget::readInputValues()
{
}

void TagEditorWidget::onEditingStarted(QEvent *event)
{
    Q_UNUSED(event)
}

void TagEditorWidget::finishEditing(QEvent *event)
{
    Q_UNUSED(event)
    Q_EMIT editingFinished(this);
}
