#pragma once

// The tool helpers moved to tests/shared; this name stays for the tests that still use it.
#include "shared/support_tools.h"
