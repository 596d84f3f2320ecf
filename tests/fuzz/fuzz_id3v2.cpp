#include "fuzzsupport.h"

MELO_FUZZ_TARGET(id3v2)
