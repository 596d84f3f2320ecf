#include "libgui/support_gui.h"

#include <QApplication>
#include <QLocale>
#include <QTimer>
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
