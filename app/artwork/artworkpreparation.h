#pragma once

#include "libcore/image/codedimage.h"

// The image adjusted to the artwork settings (square, size, format, quality) for storing in
// a tag. Until the artwork tools adjust anything, the image comes back as it is.
CodedImage prepareArtworkImage(const CodedImage &image);
