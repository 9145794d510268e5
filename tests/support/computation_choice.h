// What tests and benchmarks choose of how the heavy computations run; the
// program only reads it (base/computation.h). And the one way the tests
// hold a fast path to the straightforward definition it stands for: the
// same bits, in every vector variant.
#pragma once

#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "base/computation.h"

// From now on Computation gives settings. The vector code is one this
// processor can run.
void UseComputation(const ComputationSettings& settings);

// Runs check once in each vector variant this processor runs, the fast
// paths on, with the variant's name; the settings are back at their start
// values afterwards.
template <class Check>
void ForEveryVectorVariant(const Check& check)
{
    for (VectorCode code : VECTOR_CODES)
        if (CanRun(code)) {
            UseComputation({.vectorCode = code});
            check("vector code " + std::to_string(static_cast<int>(code)));
        }
    UseComputation({});
}

// The same bytes: doubles compared bit for bit, so that 0 and −0 or two
// different NaNs are told apart, as a fast path must not change them.
template <class T>
bool SameBits(const T& a, const T& b)
{
    static_assert(std::is_trivially_copyable_v<T>);
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

template <class T>
bool SameBits(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}
