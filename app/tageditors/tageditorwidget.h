#pragma once

#include <QEvent>
#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>

#include "app/operations/audiofileselection.h"

class AudioFile;
class ModelUpdateOperation;
class QGridLayout;
class TagItem;

enum TagEditorWidgetTextId : quint32 {
    MixedValuesTextId = 2197803791u, // shown where the selected files hold different values
};

// The base of every tag editor: edits the items of one tag item type for all files of a
// selection at once. It keeps, per selected file, one working entry per value row (an item
// of the file's combined tag, never changed, or an item the editor owns, a child of the
// editor) and writes them into the working tags of a ModelUpdateOperation.
//
// Editors are made only through createEditor; each class registers a factory by item type
// or by item data type (registerTagEditors, always linked). GUI thread only.
//
// Host's road: createEditor -> setSelection(selection) -> the user edits -> on
// editingFinished: isModified; when true, a ModelUpdateOperation over the selection,
// applyTo, OperationQueue::apply. The editor keeps its own items after applyTo (the
// operation gets copies), so it may be applied again or given a new selection.
class TagEditorWidget : public QWidget
{
    Q_OBJECT
public:
    enum Mode : int {
        InlineMode = 0,      // the file table's in-place cell editor
        SingleValueMode = 1, // dialogs and docks, item types with one value
        AppendMode = 2,      // no rows; first after the last item
        MultiValueMode = 3,  // dialogs, every value of multi-value item types
        DockMode = 4,        // docks that prefer it (the artwork dock)
    };

    class AbstractFactory
    {
    public:
        virtual ~AbstractFactory() = default;
        virtual TagEditorWidget *create(int itemType, int mode, QWidget *parent) const = 0;
        // Mode 0 needs inlineEditor, mode 4 dockEditor; every other mode is served.
        bool isAvailable(int mode) const;

        bool inlineEditor = false;
        bool dockEditor = false;
    };

    template <class Editor>
    class ItemTypeTagEditorFactory : public AbstractFactory
    {
    public:
        TagEditorWidget *create(int itemType, int mode, QWidget *parent) const override
        {
            return new Editor(itemType, mode, parent);
        }
    };

    template <class Editor>
    class DataTypeTagEditorFactory : public AbstractFactory
    {
    public:
        TagEditorWidget *create(int itemType, int mode, QWidget *parent) const override
        {
            return new Editor(itemType, mode, parent);
        }
    };

    // Enters the factory (which must live for the whole process) under the key, by item type
    // or by item data type; a second registration of a key is ignored. Also tells the
    // toolkit's editor registry, which the file table asks.
    static void registerTagEditorFactory(bool byItemType, int key, AbstractFactory *factory, bool inlineEditor,
                                         bool dockEditor);

    static AbstractFactory *findFactory(int itemType);
    static bool hasEditor(int itemType, int mode);
    // Null unless hasEditor; the fresh editor has had updateGui once (so it is disabled).
    static TagEditorWidget *createEditor(int itemType, int mode, QWidget *parent);
    static bool isMultiValueItemType(int itemType);
    // The largest number of items of the type over the selection's files.
    static int maxItemCount(int itemType, const AudioFileSelection &selection);
    // Enables the input, or disables it and shows the mixed-values placeholder.
    static void setInputWidgetEnabled(QWidget *input, bool enabled);

    static QEvent::Type editingStartedEventType();
    static QEvent::Type editingFinishedEventType();

    TagEditorWidget(int itemType, int mode, QWidget *parent = nullptr);
    ~TagEditorWidget() override;

    int itemType() const { return m_itemType; }
    int mode() const { return m_mode; }
    const AudioFileSelection &selection() const { return m_selection; }
    int rowCount() const { return m_rowCount; }
    int first() const { return m_first; }
    int count() const { return m_count; }
    QString description() const { return m_description; }
    void setDescription(const QString &description) { m_description = description; }

    // Loads the working rows (-1, -1: first and count chosen by the mode); discards edits.
    void setSelection(const AudioFileSelection &selection, int first = -1, int count = -1);
    // Per file (in load order) the entry at the row; null for a missing entry.
    QList<TagItem *> itemsAtRow(int row) const;
    // The selected files in the order they were loaded.
    const QList<AudioFile *> &files() const { return m_files; }

    // Turns the input widgets into working items.
    void commitInput();
    // Commits, then tells whether applying would change any file.
    bool isModified();
    // Commits and writes the rows into the operation's working tags: only files whose
    // values change get a working tag. The operation gets copies of the editor's items.
    void applyTo(ModelUpdateOperation *operation);

    bool event(QEvent *event) override;

Q_SIGNALS:
    void editingFinished(TagEditorWidget *editor);
    void editingCanceled(TagEditorWidget *editor);

protected:
    virtual void updateGui();
    virtual void insertRow(const TagItem *item, int row);
    virtual void onRowMoved(int from, int to);
    virtual void onRowRemoved(int row);
    virtual void readInputValues();
    virtual bool isRowModified(AudioFile *file, int row) const = 0;
    virtual bool isRowEmpty(AudioFile *file, int row) const = 0;
    virtual void writeRow(TagItem *item, AudioFile *file, int row) = 0;
    virtual void onEditingStarted(QEvent *event);
    virtual void finishEditing(QEvent *event);

    bool ownsItem(const TagItem *item) const;
    // Whether applying would change the file.
    bool isFileModified(AudioFile *file) const;

    int m_itemType;
    int m_mode;
    AudioFileSelection m_selection;
    int m_rowCount = 0;
    int m_first = 0;
    int m_count = 0;
    QHash<AudioFile *, QList<TagItem *>> itemsByFile;
    QHash<AudioFile *, QList<const TagItem *>> loadedItemsByFile;
    QString m_description;
    QGridLayout *gridLayout = nullptr;

private:
    void clearItems();

    QList<AudioFile *> m_files;
};
