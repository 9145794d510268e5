// What a result kept between calls was computed from. A cache keeps the
// stamp of the parts of the model its result depends on, taken when it
// computed it, and compares it once per call with the stamp of the same
// parts now: while they are equal, the result is still the one that would
// be computed again.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "base/calendar.h"
#include "model/modeloptions.h"
#include "model/port.h"
#include "model/record.h"
#include "model/waves.h"

// The parts of the model a kept result may depend on, combined with |.
inline constexpr unsigned RECORD_PART = 1u << 0;      // the hourly record, by its revision
inline constexpr unsigned NODAL_PART = 1u << 1;       // Model.NodalCorrections
inline constexpr unsigned CALENDAR_PART = 1u << 2;    // the time origin and the wave set's year
inline constexpr unsigned MEAN_LEVEL_PART = 1u << 3;  // WaveSet.MeanLevel
inline constexpr unsigned WAVES_PART = 1u << 4;       // speed, amplitude and phase of the active waves

// Doubles are kept by their bits: −0 and 0 can end in different sums, and
// a NaN is the same NaN.
struct WaveBits {
    std::uint64_t speed = 0, ampl = 0, etab = 0;
    bool operator==(const WaveBits&) const = default;
};

// Everything of a stamp but its waves; the parts not taken keep these values.
struct ModelScalars {
    unsigned parts = 0;  // 0: no stamp taken yet
    std::uint64_t recordRevision = 0;
    int nodal = 0;
    CalendarTime origin = 0;  // Header.Time_of_debut
    std::int32_t year = 0;    // Header.StartYear
    std::uint64_t meanLevel = 0;  // WaveSet.MeanLevel's bits
    bool operator==(const ModelScalars&) const = default;
};

struct ModelStamp {
    ModelScalars scalars;
    std::vector<WaveBits> waves;  // the first active waves, in the order of the set
    bool operator==(const ModelStamp&) const = default;
};

inline constexpr std::size_t ALL_WAVES = std::numeric_limits<std::size_t>::max();

// The stamp of these parts of the model as it is now. With WAVES_PART, of
// the first `waves` active waves (all of them unless told; fewer when fewer
// are active): a result kept over the waves active then can be extended by
// the waves appended since while the stamp of as many waves is still its own.
ModelStamp CurrentModelStamp(unsigned parts, std::size_t waves = ALL_WAVES);

// What a stamp keeps of a wave.
inline WaveBits BitsOf(const Wave& w)
{
    return {std::bit_cast<std::uint64_t>(w.speed), std::bit_cast<std::uint64_t>(w.ampl),
            std::bit_cast<std::uint64_t>(w.etab)};
}

// kept == CurrentModelStamp(kept.scalars.parts, waves), part by part as that
// takes them, without building the stamp; false for a stamp never taken.
// Inline: the memos of the prediction and of the nodal corrections ask at
// every call.
inline bool IsCurrent(const ModelStamp& kept, std::size_t waves = ALL_WAVES)
{
    const ModelScalars& s = kept.scalars;
    const unsigned parts = s.parts;
    if (parts == 0 || ((parts & RECORD_PART) && s.recordRevision != RecordSeries.RecordRevision) ||
        ((parts & NODAL_PART) && s.nodal != Model.NodalCorrections) ||
        ((parts & CALENDAR_PART) && (s.origin != Header.Time_of_debut || s.year != Header.StartYear)) ||
        ((parts & MEAN_LEVEL_PART) && s.meanLevel != std::bit_cast<std::uint64_t>(WaveSet.MeanLevel)))
        return false;
    const std::size_t n = parts & WAVES_PART ? std::min(waves, static_cast<std::size_t>(WaveSet.count)) : 0;
    if (kept.waves.size() != n)
        return false;
    for (std::size_t j = 0; j < n; ++j)
        if (!(kept.waves[j] == BitsOf(WaveSet.waves[j])))
            return false;
    return true;
}
