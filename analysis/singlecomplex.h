// Single-precision complex numbers as the fit by demodulation has always
// used them: a pair of floats, each product rounded to float.
#pragma once

#include <cmath>

struct ComplexF {
    float re;
    float im;
};

// (a + bi)(c + di) = (ac − bd) + (ad + bc)i, each part rounded to float.
inline ComplexF Times(ComplexF a, ComplexF b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// e^(i·angle) with the angle rounded to single precision first.
inline ComplexF UnitOf(double angle)
{
    auto a = static_cast<double>(static_cast<float>(angle));
    return {static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a))};
}
