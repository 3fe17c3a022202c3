// Moved: the shared test helpers live in tests/testlib/.
#pragma once
#include "tests/testlib/test_paths.h"
