#include "libgui/support_gui.h"

#include <QApplication>
#include <QLocale>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

#include "libcore/text/resourcepackage.h"
#include "libgui/package/guipackage.h"

void initGuiTestPackages()
{
    static bool done = false;
    if (done)
        return;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    registerResourceFiles({QStringLiteral("libcore.rcc")});
    registerGuiPackage();
    done = true;
}

void whenModalShown(const std::function<void(QWidget *)> &action)
{
    auto *timer = new QTimer();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

void turnWheel(QWidget *widget, int delta)
{
    const QPointF pos(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent wheel(pos, widget->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}
