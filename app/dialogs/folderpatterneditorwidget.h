#pragma once

#include "app/dialogs/combinedpatterneditorwidget.h"

class ExtLineEdit;
class PatternEditorWidget;
class QLabel;

enum FolderPatternEditorTextId : quint32 {
    PatternRootFolderTextId = 47005000u,
    PatternBrowseRootTextId = 2852388303u,
};

// Folder levels below a root folder, which shows in a first, fixed row of both halves:
// editable with a browse button, or read-only.
class FolderPatternEditorWidget : public CombinedPatternEditorWidget
{
    Q_OBJECT
public:
    explicit FolderPatternEditorWidget(bool editableRoot, QWidget *parent = nullptr);
    ~FolderPatternEditorWidget() override;

    // '/' separators, no trailing slash; emits nothing.
    void setRootPath(const QString &path);
    QString rootPath() const { return m_rootPath; }
    const QList<ExtLineEdit *> &rootLineEdits() const { return m_rootLineEdits; }

private Q_SLOTS:
    void onLineEditTextEdited(const QString &text);
    void onBrowseButtonClicked();

private:
    void addRootRow(PatternEditorWidget *editor);

    bool m_editableRoot;
    QList<QLabel *> m_rootLabels;
    QList<ExtLineEdit *> m_rootLineEdits;
    QString m_rootPath;
};
