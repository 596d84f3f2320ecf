#pragma once

#include <QPointer>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>

// The base of the program's delegates: it remembers the editor it has open, offers slots
// that commit or cancel that editor, and draws a cell whose display value is an image,
// pixmap, icon or colour as a picture fitted into the cell instead of text.
class ExtItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit ExtItemDelegate(QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;

    QWidget *editor() const { return m_editor; }
    // For derived delegates that build their own editors.
    void setEditor(QWidget *editor) const;

    // Where a decoration found by the base class is placed.
    QStyleOptionViewItem::Position decorationPosition = QStyleOptionViewItem::Left;
    Qt::Alignment decorationAlignment = Qt::AlignCenter;

public slots:
    void acceptEditor();
    void acceptSendingEditor();
    void cancelEditor();
    void cancelSendingEditor();

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private slots:
    void onEditorDestroyed(QObject *editor);

private:
    mutable QWidget *m_editor = nullptr;
};
