#pragma once

#include <QColor>
#include <QList>

// Black on a light background, white on a dark one (by perceived luminance).
QColor contrastColor(const QColor &background);
// The alpha-weighted average as an opaque colour; one colour comes back as it is; no
// colour, or only fully transparent ones, give an invalid colour.
QColor averageColor(const QList<QColor> &colors);
// The twelve plain colours offered wherever a colour is chosen from a short list.
const QList<QColor> &standardColors();
