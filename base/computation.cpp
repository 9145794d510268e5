#include "base/computation.h"

namespace {

ComputationSettings Settings;

}  // namespace

const ComputationSettings& Computation = Settings;

// Only tests and benchmarks declare it (tests/support/computation_choice.h):
// the program never changes how it computes.
void UseComputation(const ComputationSettings& settings)
{
    Settings = settings;
}

bool CanRun(VectorCode code)
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();  // this may run before the library's own constructor
    switch (code) {
    case VectorCode::Baseline: return true;
    case VectorCode::Avx2: return __builtin_cpu_supports("avx2");
    case VectorCode::Avx512: return __builtin_cpu_supports("avx512f");
    }
    return false;
#else
    return code == VectorCode::Baseline;
#endif
}

VectorCode BestVectorCode()
{
    return CanRun(VectorCode::Avx512) ? VectorCode::Avx512
           : CanRun(VectorCode::Avx2) ? VectorCode::Avx2
                                      : VectorCode::Baseline;
}
