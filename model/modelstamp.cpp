#include "model/modelstamp.h"

#include <algorithm>

namespace {

ModelScalars ScalarsNow(unsigned parts)
{
    ModelScalars now;
    now.parts = parts;
    if (parts & RECORD_PART)
        now.recordRevision = RecordSeries.RecordRevision;
    if (parts & NODAL_PART)
        now.nodal = Model.NodalCorrections;
    if (parts & CALENDAR_PART) {
        now.origin = Header.Time_of_debut;
        now.year = Header.StartYear;
    }
    if (parts & MEAN_LEVEL_PART)
        now.meanLevel = std::bit_cast<std::uint64_t>(WaveSet.MeanLevel);
    return now;
}

}  // namespace

ModelStamp CurrentModelStamp(unsigned parts, std::size_t waves)
{
    ModelStamp stamp{ScalarsNow(parts), {}};
    const std::size_t n = parts & WAVES_PART ? std::min(waves, static_cast<std::size_t>(WaveSet.count)) : 0;
    stamp.waves.reserve(n);
    for (std::size_t j = 0; j < n; ++j)
        stamp.waves.push_back(BitsOf(WaveSet.waves[j]));
    return stamp;
}
