#include "libgui/itemviews/extitemdelegate.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

ExtItemDelegate::ExtItemDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

QWidget *ExtItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                       const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    setEditor(editor);
    return editor;
}

void ExtItemDelegate::setEditor(QWidget *editor) const
{
    if (editor == m_editor)
        return;
    m_editor = editor;
    if (editor)
        connect(editor, &QObject::destroyed, this, &ExtItemDelegate::onEditorDestroyed, Qt::UniqueConnection);
}

void ExtItemDelegate::onEditorDestroyed(QObject *editor)
{
    if (editor == m_editor)
        m_editor = nullptr;
}

void ExtItemDelegate::acceptEditor()
{
    if (!m_editor)
        return;
    QWidget *editor = m_editor;
    emit commitData(editor);
    emit closeEditor(editor, NoHint);
}

void ExtItemDelegate::acceptSendingEditor()
{
    if (auto *editor = qobject_cast<QWidget *>(sender())) {
        emit commitData(editor);
        emit closeEditor(editor, NoHint);
    }
}

void ExtItemDelegate::cancelEditor()
{
    if (m_editor)
        emit closeEditor(m_editor, NoHint);
}

void ExtItemDelegate::cancelSendingEditor()
{
    if (auto *editor = qobject_cast<QWidget *>(sender()))
        emit closeEditor(editor, NoHint);
}

void ExtItemDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // Qt 6 numbers the view item option's versions anew: every one has the fields used here.
    if (option->type != QStyleOption::SO_ViewItem)
        return;
    if (option->features & QStyleOptionViewItem::HasDecoration) {
        option->decorationPosition = decorationPosition;
        option->decorationAlignment = decorationAlignment;
        return;
    }
    const QVariant value = index.model() ? index.data(Qt::DisplayRole) : QVariant();
    const QSize cell = option->rect.size();
    QSize fitted;
    switch (value.typeId()) {
    case QMetaType::QIcon: {
        const QIcon icon = value.value<QIcon>();
        const QIcon::Mode mode = !(option->state & QStyle::State_Enabled) ? QIcon::Disabled
                                 : (option->state & QStyle::State_Selected) ? QIcon::Selected
                                                                            : QIcon::Normal;
        const QIcon::State state = (option->state & QStyle::State_Open) ? QIcon::On : QIcon::Off;
        option->icon = icon;
        fitted = icon.actualSize(cell, mode, state);
        break;
    }
    case QMetaType::QColor: {
        QPixmap pixmap(cell.isEmpty() ? QSize(1, 1) : cell);
        pixmap.fill(value.value<QColor>());
        option->icon = QIcon(pixmap);
        fitted = pixmap.size();
        break;
    }
    case QMetaType::QImage:
    case QMetaType::QPixmap: {
        QPixmap pixmap = value.typeId() == QMetaType::QImage ? QPixmap::fromImage(value.value<QImage>())
                                                             : value.value<QPixmap>();
        if (!cell.isEmpty() && (pixmap.width() > cell.width() || pixmap.height() > cell.height()))
            pixmap = pixmap.scaled(cell, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        option->icon = QIcon(pixmap);
        fitted = pixmap.size();
        break;
    }
    default:
        return;
    }
    option->decorationPosition = QStyleOptionViewItem::Top;
    option->decorationSize = cell;
    option->features &= ~QStyleOptionViewItem::HasDisplay;
    option->features |= QStyleOptionViewItem::HasDecoration;
    Qt::Alignment alignment = fitted.width() >= cell.width() ? Qt::AlignLeft : Qt::AlignHCenter;
    alignment |= fitted.height() >= cell.height() ? Qt::AlignTop : Qt::AlignVCenter;
    option->decorationAlignment = alignment;
}
