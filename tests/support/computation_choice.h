// What tests and benchmarks choose of how the heavy computations run; the
// program only reads it (base/computation.h).
#pragma once

#include "base/computation.h"

// From now on Computation() gives settings. The vector code is one this
// processor can run.
void UseComputation(const ComputationSettings& settings);
