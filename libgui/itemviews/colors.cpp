#include "libgui/itemviews/colors.h"

#include <algorithm>

QColor contrastColor(const QColor &background)
{
    const double luminance =
        (0.299 * background.red() + 0.587 * background.green() + 0.114 * background.blue()) / 255.0;
    return 1.0 - luminance < 0.5 ? QColor(Qt::black) : QColor(Qt::white);
}

QColor averageColor(const QList<QColor> &colors)
{
    if (colors.isEmpty())
        return QColor();
    if (colors.size() == 1)
        return colors.first();
    double red = 0, green = 0, blue = 0, alpha = 0;
    for (const QColor &color : colors) {
        const double a = color.alphaF();
        red += color.redF() * a;
        green += color.greenF() * a;
        blue += color.blueF() * a;
        alpha += a;
    }
    if (alpha == 0)
        return QColor();
    const auto clamp = [](double value) { return value > 0 ? std::min(value, 1.0) : 0.0; };
    return QColor::fromRgbF(float(clamp(red / alpha)), float(clamp(green / alpha)), float(clamp(blue / alpha)), 1.0f);
}

const QList<QColor> &standardColors()
{
    static const QList<QColor> colors{
        Qt::red,     Qt::green,     Qt::blue,     Qt::cyan,        Qt::magenta,    Qt::yellow,
        Qt::darkRed, Qt::darkGreen, Qt::darkBlue, Qt::darkCyan,    Qt::darkMagenta, Qt::darkYellow,
    };
    return colors;
}
