// GESLA station files: a header of "# KEY value" lines (site name, time zone
// in hours, datum, null value, …), then rows "yyyy/mm/dd hh:mm:ss level qc use" in
// metres. A level is missing when it is the null value, when its use flag is
// 0, or when its quality flag says spike or wrong value (4) or missing (5);
// interpolated (2) and doubtful (3) levels are kept and counted as flagged.
#include <string>

#include "base/text.h"
#include "files/gaugeformats.h"

namespace {

struct GeslaHeader {
    std::optional<std::int64_t> nullMicro;
};

// The value of "# KEY value" when line holds that key.
bool HeaderValue(std::string_view line, std::string_view key, std::string_view& value)
{
    line.remove_prefix(1);
    line = Trim(line);
    if (line.substr(0, key.size()) != key || (line.size() > key.size() && line[key.size()] != ' '))
        return false;
    value = Trim(line.substr(key.size()));
    return true;
}

bool ReadHeaderLine(std::string_view line, int number, GeslaHeader& header, Measurements& m,
                    ImportRefusal& refusal)
{
    std::string_view value;
    std::int64_t micro = 0;
    if (HeaderValue(line, "SITE NAME", value)) {
        m.station = std::string(value);
    } else if (HeaderValue(line, "TIME ZONE HOURS", value)) {
        if (!ParseMicro(value, micro) || (micro * 60) % MICRO != 0 || micro > 14 * MICRO || micro < -14 * MICRO)
            return RefuseAt(refusal, number, "le fuseau horaire (TIME ZONE HOURS) n'est pas lisible");
        m.zoneMinutes = static_cast<int>(micro * 60 / MICRO);
        m.zoneStated = true;
    } else if (HeaderValue(line, "DATUM INFORMATION", value)) {
        if (value != "Unspecified")
            m.datum = std::string(value);
    } else if (HeaderValue(line, "NULL VALUE", value)) {
        if (!ParseMicro(value, micro))
            return RefuseAt(refusal, number, "la valeur nulle (NULL VALUE) n'est pas lisible");
        header.nullMicro = micro;
    }
    return true;
}

// yyyy/mm/dd and hh:mm:ss.
std::optional<std::int64_t> GeslaTime(std::string_view date, std::string_view time)
{
    std::int64_t y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (date.size() != 10 || date[4] != '/' || date[7] != '/' || time.size() != 8 || time[2] != ':' ||
        time[5] != ':' || !ParseWhole(date.substr(0, 4), y) || !ParseWhole(date.substr(5, 2), mo) ||
        !ParseWhole(date.substr(8, 2), d) || !ParseWhole(time.substr(0, 2), h) ||
        !ParseWhole(time.substr(3, 2), mi) || !ParseWhole(time.substr(6, 2), s))
        return std::nullopt;
    return ClockSeconds(y, mo, d, h, mi, s);
}

bool ReadRow(std::string_view line, int number, const GeslaHeader& header, Measurements& m,
             ImportRefusal& refusal)
{
    std::string_view f[6];
    const std::size_t n = SplitFields(line, ' ', f, 6);
    if (n < 5)
        return RefuseAt(refusal, number, "ligne tronquée : date, heure, hauteur, qualité et usage attendus");
    const std::optional<std::int64_t> clock = GeslaTime(f[0], f[1]);
    if (!clock)
        return RefuseAt(refusal, number, "date ou heure illisible");
    std::int64_t micro = 0, quality = 0, use = 0;
    if (!ParseMicro(f[2], micro))
        return RefuseAt(refusal, number, Format("hauteur illisible « %.*s »", static_cast<int>(f[2].size()), f[2].data()));
    if (!ParseWhole(f[3], quality) || !ParseWhole(f[4], use))
        return RefuseAt(refusal, number, "indicateur de qualité ou d'usage illisible");
    const bool missing = (header.nullMicro && micro == *header.nullMicro) || use == 0 || quality == 4 || quality == 5;
    return AppendMeasurement(m, *clock, missing ? MISSING_MICRO : micro, quality == 2 || quality == 3, number,
                             refusal);
}

}  // namespace

bool LooksLikeGesla(std::string_view text)
{
    LineReader in = LinesOf(text);
    std::string_view line, value;
    bool zone = false, null = false;
    while (NextLine(in, line) && !line.empty() && line[0] == '#') {
        zone = zone || HeaderValue(line, "TIME ZONE HOURS", value);
        null = null || HeaderValue(line, "NULL VALUE", value);
    }
    return zone && null;
}

bool ReadGesla(std::string_view text, Measurements& m, ImportRefusal& refusal)
{
    m.format = "GESLA (fichier de station)";
    m.unit = HeightUnit::Metre;
    m.unitStated = true;
    GeslaHeader header;
    LineReader in = LinesOf(text);
    std::string_view line;
    while (NextLine(in, line)) {
        if (!line.empty() && line[0] == '#') {
            if (!ReadHeaderLine(line, in.number, header, m, refusal))
                return false;
        } else if (!Trim(line).empty() && !ReadRow(line, in.number, header, m, refusal)) {
            return false;
        }
    }
    return true;
}
