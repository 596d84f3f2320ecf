#include "app/tageditors/tageditorwidgeteventfilter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSet>

#include "app/tageditors/tageditorwidget.h"
#include "libcore/log/logger.h"
#include "libgui/layout/layoututil.h"

namespace {

TagEditorWidget *findTagEditorIn(QObject *object, QSet<QObject *> &visited)
{
    if (!object || visited.contains(object))
        return nullptr;
    visited.insert(object);
    if (auto *editor = qobject_cast<TagEditorWidget *>(object))
        return editor;
    if (TagEditorWidget *editor = findTagEditorIn(object->parent(), visited))
        return editor;
    if (auto *widget = qobject_cast<QWidget *>(object))
        return findTagEditorIn(widget->focusProxy(), visited);
    return nullptr;
}

} // namespace

TagEditorWidgetEventFilter::TagEditorWidgetEventFilter() = default;

TagEditorWidgetEventFilter *TagEditorWidgetEventFilter::instance()
{
    static TagEditorWidgetEventFilter *filter = new TagEditorWidgetEventFilter;
    return filter;
}

void TagEditorWidgetEventFilter::setEnabled(bool enable)
{
    if (enable == enabled)
        return;
    enabled = enable;
    if (enabled)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

TagEditorWidget *TagEditorWidgetEventFilter::findTagEditor(QWidget *widget)
{
    QSet<QObject *> visited;
    return findTagEditorIn(widget, visited);
}

bool TagEditorWidgetEventFilter::eventFilter(QObject *watched, QEvent *event)
{
    try {
        if (trackCurrentEditor(watched, event))
            return true;
        if (event->type() == QEvent::KeyPress && watched->isWidgetType()
            && forwardTabKey(watched, static_cast<QKeyEvent *>(event)))
            return true;
    } catch (...) {
        // Nothing may leave an event filter; the event then takes its normal course.
    }
    return QObject::eventFilter(watched, event);
}

bool TagEditorWidgetEventFilter::trackCurrentEditor(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (event->type() == QEvent::ShortcutOverride && currentEditor) {
        auto *keyEvent = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(QKeyCombination(Qt::Key(keyEvent->key())));
        if (pressed == editSelectionShortcut && findTagEditor(widget) == currentEditor) {
            keyEvent->accept();
            return true;
        }
    }
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::FocusIn
        && event->type() != QEvent::TouchBegin)
        return false;
    if (widget == currentEditor)
        return true;
    if (qobject_cast<QScrollBar *>(widget))
        return false;
    TagEditorWidget *previous = currentEditor;
    currentEditor = findTagEditor(widget);
    if (currentEditor == previous)
        return false;
    if (previous) {
        QCoreApplication::postEvent(previous, new QEvent(TagEditorWidget::editingFinishedEventType()));
        disconnect(previous, &QObject::destroyed, this, &TagEditorWidgetEventFilter::onCurrentEditorDeleted);
        QWidget *focus = QApplication::focusWidget();
        if (focus && focus != widget && isInWidgetChain(previous, focus))
            focus->clearFocus();
    }
    if (currentEditor) {
        QCoreApplication::postEvent(currentEditor, new QEvent(TagEditorWidget::editingStartedEventType()));
        connect(currentEditor, &QObject::destroyed, this, &TagEditorWidgetEventFilter::onCurrentEditorDeleted);
    }
    return false;
}

bool TagEditorWidgetEventFilter::forwardTabKey(QObject *watched, QKeyEvent *keyEvent)
{
    if (!currentEditor || currentEditor->mode() != TagEditorWidget::InlineMode || watched == currentEditor)
        return false;
    if (keyEvent->key() != Qt::Key_Tab && keyEvent->key() != Qt::Key_Backtab)
        return false;
    if (QWidget *focused = currentEditor->focusWidget(); focused && focused != currentEditor)
        focused->clearFocus();
    keyEvent->setAccepted(false);
    QKeyEvent copy(keyEvent->type(), keyEvent->key(), keyEvent->modifiers(), keyEvent->text(),
                   keyEvent->isAutoRepeat(), ushort(keyEvent->count()));
    QCoreApplication::sendEvent(currentEditor, &copy);
    return true;
}

void TagEditorWidgetEventFilter::onCurrentEditorDeleted(QObject *object)
{
    if (object == currentEditor)
        currentEditor = nullptr;
    else
        Logger::error(UnknownEditorDeletedTextId);
}
