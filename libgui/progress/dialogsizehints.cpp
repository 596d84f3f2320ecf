#include "libgui/progress/dialogsizehints.h"

#include <QGuiApplication>
#include <QScreen>

#include "libgui/layout/layoututil.h"

namespace {

int half(int length)
{
    return qRound(length / 2.0);
}

QSize primaryScreenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

} // namespace

QSize compactDialogSizeHintFor(const QSize &screen)
{
    return QSize(qMin(half(screen.width()), 1920), qMin(half(screen.height()), 1080));
}

QSize wideDialogSizeHintFor(const QSize &screen)
{
    return QSize(qBound(1200, half(screen.width()), 1920), qBound(800, half(screen.height()), 1080));
}

QSize largeDialogSizeHintFor(const QSize &screen)
{
    return QSize(qBound(1200, threeQuarters(screen.width()), 1920),
                 qBound(800, threeQuarters(screen.height()), 1350));
}

int progressStatusLabelWidth(int screenWidth)
{
    return screenWidth > 2001 ? 1000 : qMax(500, screenWidth / 2);
}

// Function statics: initialised once, thread-safely, on first use.
QSize compactDialogSizeHint()
{
    static const QSize hint = compactDialogSizeHintFor(primaryScreenSize());
    return hint;
}

QSize wideDialogSizeHint()
{
    static const QSize hint = wideDialogSizeHintFor(primaryScreenSize());
    return hint;
}

QSize largeDialogSizeHint()
{
    static const QSize hint = largeDialogSizeHintFor(primaryScreenSize());
    return hint;
}
