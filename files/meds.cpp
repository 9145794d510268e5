// MEDS hourly CSV (Canada's Marine Environmental Data Section): header
// lines "key,value" (Station_Name, Station_Number, Latitude_Decimal_Degrees,
// Longitude_Decimal_Degrees, Datum, Time_zone, the variable's line), the
// column line "Obs_date,SLEV(metres)", then rows "2003/01/01 05:00,0.57,"
// with a trailing comma. Gaps are rows left out; an empty level is missing.
#include <string>

#include "base/text.h"
#include "files/gaugeformats.h"
#include "files/measurements.h"

namespace {

bool IsColumnLine(std::string_view line)
{
    return Trim(line).starts_with("Obs_date,");
}

// The value of "key,value" when line holds that key.
bool HeaderValue(std::string_view line, std::string_view key, std::string_view& value)
{
    std::string_view f[2];
    if (SplitFields(line, ',', f, 2) < 2 || Trim(f[0]) != key)
        return false;
    value = Trim(line.substr(line.find(',') + 1));
    return true;
}

bool ReadHeaderLine(std::string_view line, int number, Measurements& m, ImportRefusal& refusal)
{
    std::string_view value;
    if (HeaderValue(line, "Station_Name", value)) {
        m.station = std::string(value);
    } else if (HeaderValue(line, "Time_zone", value)) {
        const std::optional<int> zone = ZoneFromText(std::string(value));
        if (!zone)
            return RefuseAt(refusal, number, "le fuseau horaire (Time_zone) n'est pas lisible");
        m.zoneMinutes = *zone;
        m.zoneStated = true;
    } else if (IsColumnLine(line) && line.find("(metres)") != std::string_view::npos) {
        m.unit = HeightUnit::Metre;
        m.unitStated = true;
    }
    return true;
}

// yyyy/mm/dd hh:mm.
std::optional<std::int64_t> MedsTime(std::string_view s)
{
    std::int64_t y = 0, mo = 0, d = 0, h = 0, mi = 0;
    if (s.size() != 16 || s[4] != '/' || s[7] != '/' || s[10] != ' ' || s[13] != ':' ||
        !ParseWhole(s.substr(0, 4), y) || !ParseWhole(s.substr(5, 2), mo) || !ParseWhole(s.substr(8, 2), d) ||
        !ParseWhole(s.substr(11, 2), h) || !ParseWhole(s.substr(14, 2), mi))
        return std::nullopt;
    return ClockSeconds(y, mo, d, h, mi, 0);
}

bool ReadRow(std::string_view line, int number, Measurements& m, ImportRefusal& refusal)
{
    std::string_view f[2];
    if (SplitFields(line, ',', f, 2) < 2)
        return RefuseAt(refusal, number, "ligne tronquée : date et hauteur attendues");
    const std::optional<std::int64_t> clock = MedsTime(Trim(f[0]));
    if (!clock)
        return RefuseAt(refusal, number, "date ou heure illisible (aaaa/mm/jj hh:mm attendu)");
    const std::string_view level = Trim(f[1]);
    std::int64_t micro = MISSING_MICRO;
    if (!level.empty() && !ParseMicro(level, micro))
        return RefuseAt(refusal, number, Format("hauteur illisible « %.*s »", static_cast<int>(level.size()), level.data()));
    return AppendMeasurement(m, *clock, micro, false, number, refusal);
}

}  // namespace

bool LooksLikeMeds(std::string_view text)
{
    LineReader in = LinesOf(text);
    std::string_view line, value;
    if (!NextFilledLine(in, line) || !HeaderValue(line, "Station_Name", value))
        return false;
    while (NextFilledLine(in, line))
        if (IsColumnLine(line))
            return true;
    return false;
}

bool ReadMeds(std::string_view text, Measurements& m, ImportRefusal& refusal)
{
    m.format = "MEDS (CSV horaire)";
    LineReader in = LinesOf(text);
    std::string_view line;
    bool rows = false;
    while (NextFilledLine(in, line)) {
        if (rows) {
            if (!ReadRow(line, in.number, m, refusal))
                return false;
        } else if (!ReadHeaderLine(line, in.number, m, refusal)) {
            return false;
        }
        rows = rows || IsColumnLine(line);
    }
    return true;
}
