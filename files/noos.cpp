// NOOS (MATROOS) text of the North Sea's operational systems: comment lines
// "# Key : value" (Location, Position, Unit, Timezone among them), then rows
// "201801010000   2.5000": yyyymmddhhmm, blanks, the level in metres, every
// ten minutes. Gaps are rows left out.
#include <string>

#include "base/text.h"
#include "files/gaugeformats.h"
#include "files/measurements.h"

namespace {

// The value of "# Key : value" when line holds that key.
bool CommentValue(std::string_view line, std::string_view key, std::string_view& value)
{
    line = Trim(line.substr(1));
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || Trim(line.substr(0, colon)) != key)
        return false;
    value = Trim(line.substr(colon + 1));
    return true;
}

bool ReadComment(std::string_view line, int number, Measurements& m, ImportRefusal& refusal)
{
    std::string_view value;
    if (CommentValue(line, "Location", value)) {
        m.station = std::string(value);
    } else if (CommentValue(line, "Timezone", value)) {
        const std::optional<int> zone = ZoneFromText(std::string(value));
        if (!zone)
            return RefuseAt(refusal, number, "le fuseau horaire (Timezone) n'est pas lisible");
        m.zoneMinutes = *zone;
        m.zoneStated = true;
    }
    return true;
}

// yyyymmddhhmm.
std::optional<std::int64_t> NoosTime(std::string_view s)
{
    std::int64_t y = 0, mo = 0, d = 0, h = 0, mi = 0;
    if (s.size() != 12 || !ParseWhole(s.substr(0, 4), y) || !ParseWhole(s.substr(4, 2), mo) ||
        !ParseWhole(s.substr(6, 2), d) || !ParseWhole(s.substr(8, 2), h) || !ParseWhole(s.substr(10, 2), mi))
        return std::nullopt;
    return ClockSeconds(y, mo, d, h, mi, 0);
}

bool ReadRow(std::string_view line, int number, Measurements& m, ImportRefusal& refusal)
{
    std::string_view f[2];
    if (SplitFields(line, ' ', f, 2) != 2)
        return RefuseAt(refusal, number, "date et niveau attendus, séparés par des blancs");
    const std::optional<std::int64_t> clock = NoosTime(f[0]);
    if (!clock)
        return RefuseAt(refusal, number, "date ou heure illisible (aaaammjjhhmm attendu)");
    std::int64_t micro = 0;
    if (!ParseMicro(f[1], micro))
        return RefuseAt(refusal, number, Format("niveau illisible « %.*s »", static_cast<int>(f[1].size()), f[1].data()));
    return AppendMeasurement(m, *clock, micro, false, number, refusal);
}

}  // namespace

bool LooksLikeNoos(std::string_view text)
{
    LineReader in = LinesOf(text);
    std::string_view line, f[2];
    bool comments = false;
    while (NextFilledLine(in, line) && Trim(line)[0] == '#')
        comments = true;
    return comments && !Trim(line).empty() && Trim(line)[0] != '#' && SplitFields(line, ' ', f, 2) == 2 &&
           NoosTime(f[0]).has_value();
}

bool ReadNoos(std::string_view text, Measurements& m, ImportRefusal& refusal)
{
    m.format = "NOOS (texte)";
    LineReader in = LinesOf(text);
    std::string_view line;
    while (NextFilledLine(in, line)) {
        const bool comment = Trim(line)[0] == '#';
        if (comment ? !ReadComment(Trim(line), in.number, m, refusal) : !ReadRow(line, in.number, m, refusal))
            return false;
    }
    return true;
}
