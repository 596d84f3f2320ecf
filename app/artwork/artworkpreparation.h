#pragma once

#include <QSize>

#include "libcore/image/codedimage.h"

// The square of the setting "artwork/size/preferredSize", or (-1, -1) when it is below 1.
QSize artworkPreferredSize();

// The image adapted to the artwork settings. Until the artwork tools exist no setting
// changes an image, so it comes back unchanged.
CodedImage prepareArtworkImage(const CodedImage &image);
