// UHSLC hourly CSV: no header, rows "year,month,day,hour,level" with the
// level in whole millimetres and -32767 for a missing hour, in UTC (GMT);
// the file states neither.
#include <string>

#include "base/text.h"
#include "files/gaugeformats.h"

namespace {

constexpr std::int64_t UHSLC_MISSING = -32767;

// The five whole numbers of a row, if it is one.
bool RowFields(std::string_view line, std::int64_t (&v)[5])
{
    std::string_view f[5];
    if (SplitFields(line, ',', f, 5) != 5)
        return false;
    for (int i = 0; i < 5; ++i)
        if (!ParseWhole(Trim(f[i]), v[i]))
            return false;
    return true;
}

}  // namespace

bool LooksLikeUhslc(std::string_view text)
{
    LineReader in = LinesOf(text);
    std::string_view line;
    std::int64_t v[5];
    return NextFilledLine(in, line) && RowFields(line, v);
}

bool ReadUhslc(std::string_view text, Measurements& m, ImportRefusal& refusal)
{
    m.format = "UHSLC (CSV horaire)";
    m.unit = HeightUnit::Millimetre;
    LineReader in = LinesOf(text);
    std::string_view line;
    while (NextFilledLine(in, line)) {
        std::int64_t v[5];
        if (!RowFields(line, v))
            return RefuseAt(refusal, in.number, "cinq nombres entiers attendus : année, mois, jour, heure, hauteur (mm)");
        // Every row ends with its line end: without it, the last height may be cut (1480 read as 14).
        if (LastLineUnended(in))
            return RefuseAt(refusal, in.number, "ligne tronquée : la dernière ligne n'a pas de fin de ligne");
        const std::optional<std::int64_t> clock = ClockSeconds(v[0], v[1], v[2], v[3], 0, 0);
        if (!clock)
            return RefuseAt(refusal, in.number, "date ou heure illisible");
        if (v[4] != UHSLC_MISSING && (v[4] <= -10000000 || v[4] >= 10000000))
            return RefuseAt(refusal, in.number, Format("hauteur hors limites (%lld mm)", static_cast<long long>(v[4])));
        if (!AppendMeasurement(m, *clock, v[4] == UHSLC_MISSING ? MISSING_MICRO : v[4] * MICRO, false, in.number,
                               refusal))
            return false;
    }
    return true;
}
