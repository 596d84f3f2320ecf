#pragma once

#include <QLabel>
#include <QPointer>

// The process-wide tip that shows descriptions of content-assist entries and field hints.
// Unlike a tool tip it follows its owner when the owner's window moves and may swallow
// Escape, Return and Enter while it is visible.
class ContentTipLabel : public QLabel
{
    Q_OBJECT
public:
    static ContentTipLabel *instance();

    static void showTip(QWidget *owner, const QPoint &globalPos, const QString &text, bool interceptKeys);
    static void showTip(const QPoint &globalPos, const QString &text, bool interceptKeys);
    static void showTipBelow(QWidget *widget, const QString &text, bool interceptKeys);
    static void hideTip();
    static bool isTipVisible();
    static QString tipText();

    void setTipText(const QString &text);
    void setOwner(QWidget *widget);
    void setInterceptKeys(bool intercept);
    void placeAt(const QPoint &globalPos);

    bool eventFilter(QObject *watched, QEvent *event) override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private Q_SLOTS:
    void onDestroyed(QObject *obj);

private:
    ContentTipLabel();

    QWidget *owner = nullptr;
    bool interceptKeys = true;
};

// Where a tip of the given size goes for the point p: right of and below it, flipped to
// the left (4 pixels) or above (24 pixels) where the screen ends, then kept on the screen.
QPoint contentTipPosition(const QPoint &p, const QSize &size, const QRect &screen);
