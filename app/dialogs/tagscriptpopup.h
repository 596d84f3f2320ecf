#pragma once

#include <QTreeView>

#include "libgui/edits/icontentassistpopup.h"

class DataTypeModel;
class ExtSortFilterProxyModel;

// Completion of tag-script variables, snippets and functions: the token under the cursor
// (a %variable%, a $function or a bare word) is the filter and is what a picked entry
// replaces. Kind 0 offers every data type with the script snippets and functions, kind 1
// only the tag item types.
class TagScriptPopup : public QTreeView, public IContentAssistPopup
{
    Q_OBJECT
public:
    // The flag in the data type model's rows that says whether the row passes the filter.
    static constexpr int VisibleRole = Qt::UserRole + 2;

    explicit TagScriptPopup(int kind, QWidget *parent = nullptr);
    ~TagScriptPopup() override;

    QSize sizeHint() const override;

    QAbstractItemView *contentAssistView() override { return this; }
    int completionRole() override;
    void updateContentAssist(const QString &text, int cursorPosition) override;
    int replaceStart() override { return m_replaceStart; }
    int replaceLength() override { return m_replaceLength; }

    int kind() const { return m_kind; }
    DataTypeModel *sourceModel() const { return m_sourceModel; }
    // Shows the rows that match the prefix and the groups that hold one.
    void filter(const QString &prefix);

private:
    int m_kind;
    ExtSortFilterProxyModel *m_proxy;
    DataTypeModel *m_sourceModel;
    int m_replaceStart = 0;
    int m_replaceLength = 0;
};
