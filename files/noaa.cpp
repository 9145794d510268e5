// NOAA CO-OPS CSV downloads: a header line "Date Time, Water Level, Sigma,
// …" (hourly heights, 6-minute levels), then rows such as
// "2016-01-01 00:00,1.302,0.000,0,0". An empty level is missing. Levels
// with the flat (F), rate (R), limit (L) or inferred (I) flag set are kept
// and counted as flagged. The file states neither its time base nor its
// units: UTC and metres unless the user says otherwise.
#include <string>

#include "base/text.h"
#include "files/gaugeformats.h"

namespace {

constexpr std::size_t MAX_COLUMNS = 16;

struct NoaaColumns {
    std::size_t count = 0;
    bool flag[MAX_COLUMNS] = {};
};

bool IsNoaaHeader(std::string_view line)
{
    std::string_view f[2];
    return SplitFields(line, ',', f, 2) >= 2 && Trim(f[0]) == "Date Time" && Trim(f[1]) == "Water Level";
}

NoaaColumns ColumnsOf(std::string_view header)
{
    NoaaColumns columns;
    std::string_view f[MAX_COLUMNS];
    columns.count = std::min(SplitFields(header, ',', f, MAX_COLUMNS), MAX_COLUMNS);
    for (std::size_t i = 2; i < columns.count; ++i) {
        const std::string_view name = Trim(f[i]);
        columns.flag[i] = name == "F" || name == "R" || name == "L" || name == "I";
    }
    return columns;
}

bool ReadRow(std::string_view line, int number, const NoaaColumns& columns, Measurements& m,
             ImportRefusal& refusal)
{
    std::string_view f[MAX_COLUMNS];
    const std::size_t n = SplitFields(line, ',', f, MAX_COLUMNS);
    if (n < columns.count)
        return RefuseAt(refusal, number, Format("ligne tronquée : %zu champs sur %zu", n, columns.count));
    std::int64_t clock = 0;
    std::optional<int> offset;
    const std::string_view when = Trim(f[0]);
    if (when.empty() || IsoTimeAtStart(when, clock, offset) != when.size() || offset)
        return RefuseAt(refusal, number, "date ou heure illisible");
    const std::string_view level = Trim(f[1]);
    std::int64_t micro = MISSING_MICRO;
    if (!level.empty() && !ParseMicro(level, micro))
        return RefuseAt(refusal, number, Format("hauteur illisible « %.*s »", static_cast<int>(level.size()), level.data()));
    bool flagged = false;
    for (std::size_t i = 2; i < columns.count; ++i)
        flagged = flagged || (columns.flag[i] && Trim(f[i]) == "1");
    return AppendMeasurement(m, clock, micro, flagged, number, refusal);
}

}  // namespace

bool LooksLikeNoaa(std::string_view text)
{
    LineReader in = LinesOf(text);
    std::string_view line;
    return NextFilledLine(in, line) && IsNoaaHeader(line);
}

bool ReadNoaa(std::string_view text, Measurements& m, ImportRefusal& refusal)
{
    m.format = "NOAA CO-OPS (CSV)";
    LineReader in = LinesOf(text);
    std::string_view line;
    NextFilledLine(in, line);
    const NoaaColumns columns = ColumnsOf(line);
    while (NextLine(in, line))
        if (!Trim(line).empty() && !ReadRow(line, in.number, columns, m, refusal))
            return false;
    return true;
}
