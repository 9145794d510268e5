// How the heavy computations run. The program always runs their fast paths,
// with the widest vector code the processor offers and one thread per core;
// tests and benchmarks also choose a vector code, a number of threads, or the
// straightforward definitions that the fast paths are checked against
// (tests/support/computation_choice.h). Every choice gives the same results,
// to the last bit.
#pragma once

enum class VectorCode { Baseline, Avx2, Avx512 };
inline constexpr VectorCode VECTOR_CODES[] = {VectorCode::Baseline, VectorCode::Avx2, VectorCode::Avx512};

// True when this processor can run the variant.
bool CanRun(VectorCode code);
// The widest variant this processor can run.
VectorCode BestVectorCode();

struct ComputationSettings {
    bool fastPaths = true;                     // false: the straightforward definitions
    VectorCode vectorCode = BestVectorCode();  // one this processor can run
    unsigned threads = 0;                      // for long records; 0: one per core
};

// The settings in force: the start values unless a test or a benchmark
// chose others. Read where the hot loops choose their code, so a reference
// to the settings rather than a call.
extern const ComputationSettings& Computation;
