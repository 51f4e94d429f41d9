#pragma once
// Until the benchmarks and the soak include support/Console.h themselves.
#include "support/Console.h"
