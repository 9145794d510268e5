#include "files/gaugeformats.h"

#include <utility>

#include "base/text.h"

bool RefuseAt(ImportRefusal& refusal, int line, std::string reason)
{
    refusal.line = line;
    refusal.reason = std::move(reason);
    return false;
}

bool AppendMeasurement(Measurements& m, std::int64_t clockSeconds, std::int64_t micro, bool flagged, int line,
                       ImportRefusal& refusal)
{
    if (!m.times.empty() && clockSeconds <= m.times.back())
        return RefuseAt(refusal, line,
                        Format(clockSeconds == m.times.back() ? "la date %s est déjà celle de la mesure précédente"
                                                              : "la date %s précède celle de la mesure précédente",
                               ClockText(clockSeconds).c_str()));
    m.times.push_back(clockSeconds);
    m.heights.push_back(micro);
    if (micro == MISSING_MICRO)
        ++m.missing;
    else if (flagged)
        ++m.flagged;
    return true;
}
