#include "libgui/edits/contenttiplabel.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>

QPoint contentTipPosition(const QPoint &p, const QSize &size, const QRect &screen)
{
    int x = p.x();
    int y = p.y();
    const int w = size.width();
    const int h = size.height();
    if (p.x() + w > screen.left() + screen.width())
        x = p.x() - w - 4;
    if (p.y() + h > screen.top() + screen.height())
        y = p.y() - h - 24;
    if (y < screen.top())
        y = screen.top();
    if (x + w > screen.left() + screen.width())
        x = screen.left() + screen.width() - w;
    if (x < screen.left())
        x = screen.left();
    if (y + h > screen.top() + screen.height())
        y = screen.top() + screen.height() - h;
    return QPoint(x, y);
}

ContentTipLabel::ContentTipLabel() : QLabel(nullptr, Qt::ToolTip | Qt::BypassGraphicsProxyWidget)
{
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setPalette(QToolTip::palette());
    ensurePolished();
    setMargin(1 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this));
    setFrameStyle(QFrame::NoFrame);
    setAlignment(Qt::AlignLeft);
    setIndent(1);
    qApp->installEventFilter(this);
    setWindowOpacity(style()->styleHint(QStyle::SH_ToolTipLabel_Opacity, nullptr, this) / 255.0);
}

ContentTipLabel *ContentTipLabel::instance()
{
    // Created on first use and kept for the process; the pointer forgets a label that the
    // application deleted on its way out.
    static QPointer<ContentTipLabel> label;
    if (!label)
        label = new ContentTipLabel();
    return label;
}

void ContentTipLabel::showTip(QWidget *owner, const QPoint &globalPos, const QString &text, bool interceptKeys)
{
    ContentTipLabel *label = instance();
    if (text.isEmpty()) {
        label->hide();
        return;
    }
    label->setTipText(text);
    label->setOwner(owner);
    label->setInterceptKeys(interceptKeys);
    label->placeAt(globalPos);
    if (label->isHidden())
        label->show();
}

void ContentTipLabel::showTip(const QPoint &globalPos, const QString &text, bool interceptKeys)
{
    showTip(nullptr, globalPos, text, interceptKeys);
}

void ContentTipLabel::showTipBelow(QWidget *widget, const QString &text, bool interceptKeys)
{
    showTip(widget, widget->mapToGlobal(QPoint(0, widget->height())), text, interceptKeys);
}

void ContentTipLabel::hideTip()
{
    showTip(nullptr, QPoint(0, 0), QString(), false);
}

bool ContentTipLabel::isTipVisible()
{
    return instance()->isVisible();
}

QString ContentTipLabel::tipText()
{
    return instance()->text();
}

void ContentTipLabel::setTipText(const QString &newText)
{
    if (newText == text())
        return;
    setWordWrap(Qt::mightBeRichText(newText));
    setText(newText);
    const QFontMetrics metrics(font());
    const int extra = metrics.descent() == 2 && metrics.ascent() >= 11 ? 1 : 0;
    resize(sizeHint() + QSize(extra, extra));
}

void ContentTipLabel::setOwner(QWidget *widget)
{
    if (widget == owner)
        return;
    if (owner) {
        owner->removeEventFilter(this);
        disconnect(owner, &QObject::destroyed, this, &ContentTipLabel::onDestroyed);
    }
    if (widget) {
        widget->installEventFilter(this);
        connect(widget, &QObject::destroyed, this, &ContentTipLabel::onDestroyed);
    }
    owner = widget;
}

void ContentTipLabel::setInterceptKeys(bool intercept)
{
    interceptKeys = intercept;
}

void ContentTipLabel::placeAt(const QPoint &globalPos)
{
    QScreen *screen = QGuiApplication::screenAt(globalPos);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(globalPos, size());
    move(contentTipPosition(globalPos, size(), area));
}

void ContentTipLabel::onDestroyed(QObject *obj)
{
    if (obj == owner)
        owner = nullptr;
}

bool ContentTipLabel::eventFilter(QObject *watched, QEvent *event)
{
    if (!isVisible())
        return false;
    switch (event->type()) {
    case QEvent::FocusOut:
    case QEvent::WindowDeactivate:
        hide();
        break;
    case QEvent::Move:
        if (owner && watched->isWidgetType()) {
            auto *moved = static_cast<QWidget *>(watched);
            if (moved == owner || (moved->window() == owner->window() && moved->isAncestorOf(owner)))
                placeAt(owner->mapToGlobal(QPoint(0, owner->height())));
        }
        break;
    case QEvent::KeyPress:
        if (interceptKeys) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
                hide();
                return true;
            }
        }
        break;
    default:
        break;
    }
    return false;
}

void ContentTipLabel::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        QStyleOptionFrame option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_PanelTipLabel, &option, &painter, this);
    }
    QLabel::paintEvent(event);
}

void ContentTipLabel::resizeEvent(QResizeEvent *event)
{
    QStyleHintReturnMask mask;
    QStyleOption option;
    option.initFrom(this);
    if (style()->styleHint(QStyle::SH_ToolTip_Mask, &option, this, &mask))
        setMask(mask.region);
    QWidget::resizeEvent(event);
}
