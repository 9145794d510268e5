// The joint harmonic analysis: the mean level and a set of waves fitted
// together by least squares on every measured hour of the record, rather
// than one after the other on what the waves before left.
//
// A wave is fitted only where the record separates it from every wave of
// larger expected amplitude and from the mean level (the Rayleigh
// criterion: frequencies at least R / L apart, L the hours from the first
// measured hour to the last). Each wave kept has the 95 % confidence
// intervals of its amplitude and phase, with the noise taken from the
// residual's spectrum near its frequency, and its signal-to-noise ratio.
//
// With the nodal corrections, the columns of a lunar constituent carry the
// factor and angle of each day (WaveOnDay), so that what is fitted is the
// wave of the wave set's year, as the single fits give it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model/waves.h"

// A wave the analysis may fit.
struct JointCandidate {
    double speed = 0;  // rad/s
    std::string name;  // becomes the fitted wave's name
};

enum class JointSet {
    Known,            // the catalogue's 37 waves
    KnownAndShallow,  // and the shallow-water waves
    InMemory,         // the active waves of the set
};

// The candidates of a set, most important first: the catalogue in the order
// of "Toutes ondes connues", then the shallow-water waves in theirs; the
// waves in memory by decreasing amplitude (their first fit).
std::vector<JointCandidate> CandidatesOf(JointSet set);

inline constexpr double DEFAULT_RAYLEIGH = 1.0;

// The normal equations: over the measured hours, the sums of the products
// of the columns x = (1, C₁, S₁, …, C_K, S_K, y), where C_k and S_k are the
// cosine and sine of wave k's argument at the hour (times its nodal factor
// with the corrections on) and y the height (m). Each wave's (cos, sin)
// starts afresh at 00:00 of each day from its exact value and is turned
// hour by hour by the rotation of its speed, in double precision.
struct JointSums {
    std::size_t columns = 0;       // 2K + 2
    std::size_t stride = 0;        // doubles from one row of products to the next
    std::vector<double> products;  // [i·stride + j] = Σ xᵢ·xⱼ, both triangles
    std::size_t measuredHours = 0;
};

// The sums for waves of these speeds (rad/s) over the record in memory, one
// hour after the other, with the vector code of Computation; the same bits
// as SumJointlyDirect. Long work: false once the user asked it to stop.
bool SumJointly(const std::vector<double>& speeds, JointSums& out);
// The straightforward definition: each product added at each hour in turn.
JointSums SumJointlyDirect(const std::vector<double>& speeds);

// A candidate the record cannot separate.
struct LeftOutWave {
    std::string name;
    std::string nearest;    // the wave kept that it is too close to; empty: the mean level
    double separation = 0;  // |Δf|·L, in cycles over the record; negative: above the hourly Nyquist frequency
};

struct JointResult {
    bool solved = false;
    std::string problem;         // why not, in French, when not stopped
    bool stopped = false;        // by the user
    double rayleigh = DEFAULT_RAYLEIGH;
    std::size_t hours = 0;       // of the record
    std::size_t measuredHours = 0;
    double spanHours = 0;        // L
    double meanLevel = 0;        // m
    std::vector<Wave> waves;     // by decreasing share of the variance, their uncertainty set
    std::vector<double> shares;  // A²/2 over the record's variance, in the same order
    std::vector<LeftOutWave> leftOut;
    double recordVariance = 0;    // m², of the measured heights about their mean
    double residualVariance = 0;  // m², mean square of the residual
};

// The analysis of the record in memory with these candidates, most
// important first, and this Rayleigh number (≥ 0). Polls the long work.
JointResult FitJointly(const std::vector<JointCandidate>& candidates, double rayleigh);

// What the analysis found, for the report dialog and the log.
std::string JointReport(const JointResult& result);

// "Analyse harmonique": the analysis of a set as long work. Done, the wave
// set becomes the mean level and the waves found, the log holds the report
// and the replacement, and the report is returned. Stopped, or impossible
// (the user is told), the model stays as it was and nothing is returned.
std::optional<std::string> RunJointAnalysis(JointSet set, double rayleigh);
