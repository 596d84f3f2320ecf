#pragma once

#include <QLabel>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "libcore/log/bufferedlogger.h"
#include "libgui/dialogs/commondialog.h"
#include "libgui/logviews/logmessagewidget.h"

// A message box over a logger: the icon and text of the newest warning or error (or of the
// newest info message when that is the newest of all) with a link that unfolds the table
// of every message.
class LogMessageDialog : public CommonDialog
{
    Q_OBJECT
public:
    explicit LogMessageDialog(BufferedLogger *logger, QWidget *parent = nullptr);

    LogMessageWidget *messageWidget;
    QLabel *iconLabel;
    QLabel *textLabel;

protected:
    void showEvent(QShowEvent *event) override;

private Q_SLOTS:
    void onToggleShowTableLinkClicked();

private:
    QRect firstGeometry;
};

// Runs a LogMessageDialog over the logger modally and deletes it.
void showLogMessageDialog(BufferedLogger *logger, QWidget *parent);

// Where a dialog goes when it unfolds its details: at least the content's size hint (at
// most two thirds of the screen's available area), at most the area less the frame and 32
// pixels, its frame centred in the area. frameExtra is the frame's size less the client's.
struct DetailsGeometry {
    QSize minimum;
    QSize maximum;
    QPoint frameTopLeft;
};
DetailsGeometry unfoldedDetailsGeometry(const QRect &available, const QSize &frameExtra,
                                        const QSize &contentHint, const QSize &currentSize);

// A hint with a check box to stop showing it; showAgain() is false once it is ticked.
class DidYouKnowDialog : public CommonDialog
{
    Q_OBJECT
public:
    explicit DidYouKnowDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    void setText(const QString &text);
    bool showAgain() const;

    QLabel *textLabel;
    class QCheckBox *showAgainCheckBox;
};
