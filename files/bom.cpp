// Hourly CSV of the Australian Bureau of Meteorology's sea-level stations:
// one header line " Date & UTC Time,Sea Level,Water Temperature,…,<Station>"
// whose last field is the station, then rows "01-Jan-2020 00:00, 2.290,
// -9999 ,…": the date in UTC with the month's English abbreviation, then the
// sea level in metres. Fields are padded with blanks; -9999 is missing.
#include <string>

#include "base/text.h"
#include "files/gaugeformats.h"

namespace {

constexpr std::int64_t BOM_MISSING = -9999;
constexpr std::size_t MAX_COLUMNS = 16;

bool IsBomHeader(std::string_view line)
{
    std::string_view f[2];
    return SplitFields(line, ',', f, 2) >= 2 && Trim(f[0]) == "Date & UTC Time" && Trim(f[1]) == "Sea Level";
}

// dd-Mon-yyyy hh:mm.
std::optional<std::int64_t> BomTime(std::string_view s)
{
    static const char* const MONTHS[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::int64_t d = 0, y = 0, h = 0, mi = 0, mo = 0;
    if (s.size() != 17 || s[2] != '-' || s[6] != '-' || s[11] != ' ' || s[14] != ':' ||
        !ParseWhole(s.substr(0, 2), d) || !ParseWhole(s.substr(7, 4), y) || !ParseWhole(s.substr(12, 2), h) ||
        !ParseWhole(s.substr(15, 2), mi))
        return std::nullopt;
    while (mo < 12 && s.substr(3, 3) != MONTHS[mo])
        ++mo;
    if (mo == 12)
        return std::nullopt;
    return ClockSeconds(y, mo + 1, d, h, mi, 0);
}

bool ReadRow(std::string_view line, int number, Measurements& m, ImportRefusal& refusal)
{
    std::string_view f[2];
    if (SplitFields(line, ',', f, 2) < 2)
        return RefuseAt(refusal, number, "ligne tronquée : date et niveau attendus");
    const std::optional<std::int64_t> clock = BomTime(Trim(f[0]));
    if (!clock)
        return RefuseAt(refusal, number, "date ou heure illisible (jj-Mmm-aaaa hh:mm attendu)");
    const std::string_view level = Trim(f[1]);
    std::int64_t micro = 0;
    if (!ParseMicro(level, micro))
        return RefuseAt(refusal, number, Format("niveau illisible « %.*s »", static_cast<int>(level.size()), level.data()));
    return AppendMeasurement(m, *clock, micro == BOM_MISSING * MICRO ? MISSING_MICRO : micro, false, number, refusal);
}

}  // namespace

bool LooksLikeBom(std::string_view text)
{
    LineReader in = LinesOf(text);
    std::string_view line;
    return NextFilledLine(in, line) && IsBomHeader(line);
}

bool ReadBom(std::string_view text, Measurements& m, ImportRefusal& refusal)
{
    m.format = "BOM (CSV horaire)";
    m.zoneStated = true;  // "UTC Time"
    LineReader in = LinesOf(text);
    std::string_view line;
    NextFilledLine(in, line);
    std::string_view f[MAX_COLUMNS];
    const std::size_t n = SplitFields(line, ',', f, MAX_COLUMNS);
    if (n > 2 && n <= MAX_COLUMNS)
        m.station = std::string(Trim(f[n - 1]));
    while (NextFilledLine(in, line))
        if (!ReadRow(line, in.number, m, refusal))
            return false;
    return true;
}
