#pragma once

#include <QList>
#include <QMap>
#include <QWidget>

class AudioFileSelection;
class ModelUpdateOperation;
class QLayout;
class QScrollArea;
class QTabWidget;
class TagEditorWidget;

enum MultiTagEditorWidgetTextId : quint32 {
    InvolvedPeopleTabTextId = 2200575943u,
    NumberCountSeparatorTextId = 3381213730u,
};

// The tag editors of whole item categories, one tab per category (a label and an editor per
// item type) plus tabs of their own for the large editors.
class MultiTagEditorWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MultiTagEditorWidget(QWidget *parent = nullptr);

    void addCategory(int category);
    void setSelection(const AudioFileSelection &selection);
    void setCategorySelection(int category, const AudioFileSelection &selection);
    bool isModified();
    bool isCategoryModified(int category);
    // Writes only the editors that change something, so an OK that changed one field leaves
    // every other field of every file as it was loaded.
    void applyTo(ModelUpdateOperation *operation);
    void applyCategoryTo(int category, ModelUpdateOperation *operation);

    QTabWidget *tabs() const { return tabWidget; }
    const QList<TagEditorWidget *> &tagEditors() const { return editors; }
    QList<TagEditorWidget *> categoryEditors(int category) const { return editorsByCategory.value(category); }

Q_SIGNALS:
    void editingFinished(TagEditorWidget *editor);
    void editingCanceled(TagEditorWidget *editor);

private:
    QScrollArea *addTab(QLayout *layout, const QString &title);
    QScrollArea *addEditorTab(QWidget *editor, const QString &title);

    QTabWidget *tabWidget = nullptr;
    QList<TagEditorWidget *> editors;
    QMap<int, QList<TagEditorWidget *>> editorsByCategory;
};
