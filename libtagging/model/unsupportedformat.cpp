#include "libtagging/model/unsupportedformat.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"

void throwUnsupportedFormat(IoStream *stream)
{
    throw Exception(3163611307u, {stream ? stream->displayName() : QString()});
}
