#include "libgui/edits/contentassistlineedit.h"

#include <QAbstractItemView>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTreeView>

#include "libgui/edits/contenttiplabel.h"

namespace {

// Opens the protected cursor movement of item views for the popup's navigation.
struct ItemViewAccess : QAbstractItemView {
    using QAbstractItemView::moveCursor;
    using Action = CursorAction;
    static constexpr Action Next = MoveNext, Up = MoveUp, Down = MoveDown, PageUp = MovePageUp,
                            PageDown = MovePageDown, Home = MoveHome, End = MoveEnd;
};

} // namespace

int countRows(const QAbstractItemModel *model, const QModelIndex &parent)
{
    if (!model)
        return 0;
    const int rows = model->rowCount(parent);
    const int columns = model->columnCount(parent);
    int count = rows;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QModelIndex index = model->index(r, c, parent);
            if (model->hasChildren(index))
                count += countRows(model, index);
        }
    }
    return count;
}

QRect contentAssistPopupGeometry(const QPoint &anchor, const QRect &screen, int hintWidth,
                                 int rowHeight, int rowCount, int scrollBarHeight,
                                 int minimumHeight, int lineEditHeight)
{
    const int w = qMin(hintWidth, screen.width());
    const int x = qMax(screen.left(), qMin(anchor.x(), screen.right() + 1 - w));
    int h = rowHeight * qMin(rowCount, 20) + 6 + scrollBarHeight;
    h = qMax(h, minimumHeight);
    const int ay = anchor.y();
    const int below = screen.bottom() - ay;
    const int above = ay - lineEditHeight - screen.top() + 2;
    int y;
    if (below >= h) {
        y = ay;
    } else if (above < below) {
        h = below;
        y = ay;
    } else if (above >= h) {
        y = ay - h - lineEditHeight + 2;
    } else {
        h = above;
        y = above == below ? ay : ay - h - lineEditHeight + 2;
    }
    return QRect(x, y, w, h);
}

ContentAssistLineEdit::ContentAssistLineEdit(QWidget *parent) : ExtLineEdit(parent)
{
    setUp();
}

ContentAssistLineEdit::ContentAssistLineEdit(const QString &text, QWidget *parent)
    : ExtLineEdit(text, parent)
{
    setUp();
}

void ContentAssistLineEdit::setUp()
{
    installEventFilter(this);
}

QAbstractItemView *ContentAssistLineEdit::view() const
{
    return popup ? popup->contentAssistView() : nullptr;
}

void ContentAssistLineEdit::setContentAssistPopup(IContentAssistPopup *newPopup)
{
    QAbstractItemView *newView = newPopup ? newPopup->contentAssistView() : nullptr;
    if (newView && newView == view())
        return;
    delete view();
    popup = newPopup;
    if (!newView)
        return;
    newView->hide();
    const Qt::FocusPolicy policy = focusPolicy();
    newView->setParent(this, Qt::Popup);
    setFocusPolicy(policy);
    newView->setFocusPolicy(Qt::NoFocus);
    if (auto *tree = qobject_cast<QTreeView *>(newView))
        tree->header()->hide();
    newView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    newView->setSelectionBehavior(QAbstractItemView::SelectRows);
    newView->setSelectionMode(QAbstractItemView::SingleSelection);
    newView->setFocusProxy(this);
    newView->installEventFilter(this);
    connect(newView, &QAbstractItemView::clicked, this, &ContentAssistLineEdit::pickIndex);
    connect(newView->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ContentAssistLineEdit::showContentTip);
}

void ContentAssistLineEdit::setAssistOnEdit(bool on)
{
    if (on == assistOnEdit)
        return;
    assistOnEdit = on;
    if (on)
        connect(this, &QLineEdit::textEdited, this, &ContentAssistLineEdit::showContentAssist);
    else
        disconnect(this, &QLineEdit::textEdited, this, &ContentAssistLineEdit::showContentAssist);
}

QRect ContentAssistLineEdit::cursorRectAt(int position)
{
    // QLineEdit reports the cursor's rectangle only where the cursor stands.
    const QSignalBlocker blocker(this);
    const int saved = cursorPosition();
    setCursorPosition(position);
    const QRect rect = cursorRect();
    setCursorPosition(saved);
    return rect;
}

void ContentAssistLineEdit::showContentAssist()
{
    QAbstractItemView *v = view();
    if (!v || busy || !v->isEnabled())
        return;
    if (auto *tree = qobject_cast<QTreeView *>(v))
        tree->expandAll();
    popup->updateContentAssist(text(), cursorPosition());
    QAbstractItemModel *model = v->model();
    if (!model || model->rowCount() == 0) {
        hideContentAssist();
        return;
    }
    setVisible(true);
    repaint();

    const QRect r = cursorRectAt(popup->replaceStart());
    const QPoint anchor = mapToGlobal(QPoint((r.left() + r.right()) / 2, r.bottom()));
    QScreen *scr = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = scr ? scr->availableGeometry() : QRect(0, 0, 1024, 768);
    const int scrollBar = v->horizontalScrollBar()->isVisible()
                              ? v->horizontalScrollBar()->sizeHint().height()
                              : 0;
    const QRect geometry = contentAssistPopupGeometry(anchor, area, v->sizeHint().width(),
                                                      v->sizeHintForRow(0), countRows(model), scrollBar,
                                                      v->minimumHeight(), height());
    connect(v->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &ContentAssistLineEdit::showContentTip, Qt::UniqueConnection);
    v->setGeometry(geometry);
    if (v->isHidden())
        v->show();
    showContentTip();
}

void ContentAssistLineEdit::hideContentAssist()
{
    QAbstractItemView *v = view();
    if (!v)
        return;
    busy = true;
    v->hide();
    busy = false;
    ContentTipLabel::hideTip();
}

void ContentAssistLineEdit::pickIndex(const QModelIndex &index)
{
    if (!index.isValid() || !(index.model()->flags(index) & Qt::ItemIsSelectable))
        return;
    hideContentAssist();
    const QString completion = index.data(popup->completionRole()).toString();
    const int start = qBound(0, popup->replaceStart(), int(text().size()));
    const int length = popup->replaceLength();
    QString newText = text();
    if (length < 1)
        newText.insert(start, completion);
    else
        newText.replace(start, length, completion);
    busy = true;
    setText(newText);
    setCursorPosition(start + int(completion.size()));
    busy = false;
}

void ContentAssistLineEdit::showContentTip()
{
    QAbstractItemView *v = view();
    if (v && v->isVisible()) {
        const QModelIndex current = v->currentIndex();
        const QString tip = current.data(Qt::ToolTipRole).toString();
        const QRect rect = v->visualRect(current);
        if (!tip.isEmpty() && rect.top() >= 0 && rect.top() <= v->height()) {
            ContentTipLabel::showTip(v->mapToGlobal(QPoint(v->width(), rect.top())), tip, false);
            return;
        }
    }
    ContentTipLabel::hideTip();
}

void ContentAssistLineEdit::navigate(int key, Qt::KeyboardModifiers modifiers)
{
    QAbstractItemView *v = view();
    const auto moveCursor = &ItemViewAccess::moveCursor;
    while (true) {
        const QModelIndex c = v->currentIndex();
        ItemViewAccess::Action action;
        if (!c.isValid()) {
            v->setCurrentIndex((v->*moveCursor)(ItemViewAccess::Next, modifiers));
            if (key == Qt::Key_Up)
                action = ItemViewAccess::End;
            else if (key == Qt::Key_Down)
                action = ItemViewAccess::Home;
            else
                action = key == Qt::Key_PageUp ? ItemViewAccess::PageUp
                                               : ItemViewAccess::PageDown;
        } else {
            switch (key) {
            case Qt::Key_Up:
                action = ItemViewAccess::Up;
                break;
            case Qt::Key_Down:
                action = ItemViewAccess::Down;
                break;
            case Qt::Key_PageUp:
                action = ItemViewAccess::PageUp;
                break;
            default:
                action = ItemViewAccess::PageDown;
                break;
            }
        }
        const QModelIndex landed = (v->*moveCursor)(action, modifiers);
        if (landed == c) {
            if (key == Qt::Key_Up || key == Qt::Key_Down)
                v->setCurrentIndex(QModelIndex());
            return;
        }
        if (!landed.isValid())
            return;
        v->setCurrentIndex(landed);
        if (key == Qt::Key_PageUp)
            key = Qt::Key_Down;
        else if (key == Qt::Key_PageDown)
            key = Qt::Key_Up;
        if (landed.flags() & Qt::ItemIsSelectable)
            return;
    }
}

bool ContentAssistLineEdit::eventFilter(QObject *watched, QEvent *event)
{
    QAbstractItemView *v = view();
    if (watched == this) {
        switch (event->type()) {
        case QEvent::FocusIn:
            if (text().isEmpty())
                showContentAssist();
            break;
        case QEvent::FocusOut:
            if (v && filterFocusOut && v->isVisible())
                return true;
            break;
        case QEvent::KeyPress: {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Space && key->modifiers() == Qt::ControlModifier) {
                showContentAssist();
                return true;
            }
            break;
        }
        default:
            break;
        }
        return false;
    }
    if (!v || watched != v)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            navigate(key->key(), key->modifiers());
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
            pickIndex(v->currentIndex());
            hideContentAssist();
            return true;
        case Qt::Key_Escape:
        case Qt::Key_Backtab:
            hideContentAssist();
            return true;
        case Qt::Key_F4:
            if (key->modifiers() & Qt::AltModifier)
                hideContentAssist();
            return true;
        default:
            filterFocusOut = false;
            this->event(key);
            filterFocusOut = true;
            if (!hasFocus())
                hideContentAssist();
            if (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right || key->key() == Qt::Key_Home
                || key->key() == Qt::Key_End)
                showContentAssist();
            return true;
        }
    }
    case QEvent::MouseButtonPress:
        if (!v->underMouse()) {
            hideContentAssist();
            return true;
        }
        break;
    case QEvent::ToolTip:
        return true;
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
        event->setAccepted(false);
        QCoreApplication::sendEvent(this, event);
        break;
    default:
        break;
    }
    return false;
}
