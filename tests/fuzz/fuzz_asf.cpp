#include "fuzzsupport.h"

MELO_FUZZ_TARGET(asf)
