#pragma once

#include <QSize>

#include "libcore/image/codedimage.h"

// The square of the setting "artwork/size/preferredSize", or (-1, -1) when it is below 1.
QSize artworkPreferredSize();

// The image adjusted to the artwork settings (square, size, format, quality) for storing in
// a tag. Until the artwork tools adjust anything, the image comes back as it is.
CodedImage prepareArtworkImage(const CodedImage &image);
