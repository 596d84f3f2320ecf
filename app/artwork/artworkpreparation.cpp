#include "app/artwork/artworkpreparation.h"

CodedImage prepareArtworkImage(const CodedImage &image)
{
    return image;
}
