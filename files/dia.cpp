// Rijkswaterstaat DIA exports: blocks [W3H] … [RKS] … [WRD], the time axis
// only in the TYD line (start, end, step) and the values "value/quality:",
// about twenty to a line. Quality 99 marks a missing value; other non-zero
// codes are kept and counted as flagged. The file does not state its clock:
// Rijkswaterstaat exports are in MET (UTC+1) all year.
#include <string>

#include "base/text.h"
#include "files/gaugeformats.h"

namespace {

constexpr int DIA_ZONE_MINUTES = 60;
constexpr std::int64_t DIA_MISSING_QUALITY = 99;

// What the header of the current block says.
struct DiaBlock {
    std::optional<HeightUnit> unit;
    std::int64_t start = 0, step = 0, expected = 0;  // clock s, s, values
    bool timed = false;
    std::int64_t read = 0;
    int wrdLine = 0;
};

bool UnitOf(std::string_view symbol, HeightUnit& unit)
{
    const struct { const char* symbol; HeightUnit unit; } units[] = {
        {"m", HeightUnit::Metre}, {"cm", HeightUnit::Centimetre}, {"mm", HeightUnit::Millimetre}};
    for (const auto& u : units)
        if (symbol == u.symbol) {
            unit = u.unit;
            return true;
        }
    return false;
}

// yyyymmdd and hhmm.
std::optional<std::int64_t> DiaTime(std::string_view date, std::string_view time)
{
    std::int64_t d = 0, t = 0;
    if (date.size() != 8 || time.size() != 4 || !ParseWhole(date, d) || !ParseWhole(time, t))
        return std::nullopt;
    return ClockSeconds(d / 10000, d / 100 % 100, d % 100, t / 100, t % 100, 0);
}

// TYD;start;hhmm;end;hhmm;step;unit
bool ReadTimeAxis(std::string_view line, int number, DiaBlock& block, ImportRefusal& refusal)
{
    std::string_view f[8];
    const std::size_t n = SplitFields(line, ';', f, 8);
    if (n == 5)
        return RefuseAt(refusal, number, "ce bloc n'a pas de pas de temps (des pleines et basses mers ?) : "
                                         "seules les hauteurs à intervalles réguliers sont lues");
    const std::optional<std::int64_t> start = n == 7 ? DiaTime(f[1], f[2]) : std::nullopt;
    const std::optional<std::int64_t> end = n == 7 ? DiaTime(f[3], f[4]) : std::nullopt;
    std::int64_t step = 0;
    if (!start || !end || !ParseWhole(f[5], step) || step <= 0 || *end < *start)
        return RefuseAt(refusal, number, "la ligne TYD n'est pas lisible");
    const std::int64_t unitS = f[6] == "min" ? 60 : f[6] == "s" ? 1 : f[6] == "uur" || f[6] == "h" ? 3600 : 0;
    if (unitS == 0)
        return RefuseAt(refusal, number, Format("unité de pas de temps inconnue « %.*s »",
                                                static_cast<int>(f[6].size()), f[6].data()));
    block.start = *start;
    block.step = step * unitS;
    block.expected = (*end - *start) / block.step + 1;
    block.timed = true;
    return true;
}

bool ReadHeaderLine(std::string_view line, int number, DiaBlock& block, Measurements& m, ImportRefusal& refusal)
{
    std::string_view f[4];
    const std::size_t n = SplitFields(line, ';', f, 4);
    if (f[0] == "LOC" && m.station.empty() && n >= 2)
        m.station = std::string(Trim(n >= 3 ? f[2] : f[1]));
    if (f[0] == "HDH" && m.datum.empty() && n >= 2)
        m.datum = std::string(Trim(f[1]));  // "HDH;NAP;T.o.v. Normaal Amsterdams Peil"
    if (f[0] == "EHD") {
        HeightUnit unit{};
        if (n < 3 || !UnitOf(Trim(f[2]), unit))
            return RefuseAt(refusal, number, "unité des hauteurs (EHD) inconnue");
        block.unit = unit;
    }
    if (f[0] == "TYD")
        return ReadTimeAxis(line, number, block, refusal);
    return true;
}

// One line of "value/quality:" tokens.
bool ReadValues(std::string_view line, int number, DiaBlock& block, Measurements& m, ImportRefusal& refusal)
{
    line = Trim(line);
    if (line.back() != ':')
        return RefuseAt(refusal, number, "ligne tronquée : la dernière valeur ne finit pas par « : »");
    line.remove_suffix(1);
    for (;;) {
        const std::size_t end = line.find(':');
        const std::string_view token = line.substr(0, end);
        const std::size_t slash = token.find('/');
        std::int64_t value = 0, quality = 0;
        if (slash == std::string_view::npos || !ParseWhole(token.substr(slash + 1), quality) ||
            !ParseWhole(token.substr(0, slash), value))
            return RefuseAt(refusal, number, Format("valeur illisible « %.*s »", static_cast<int>(token.size()),
                                                    token.data()));
        if (block.read == block.expected)
            return RefuseAt(refusal, number,
                            Format("plus de valeurs que les %lld annoncées par TYD", static_cast<long long>(block.expected)));
        const bool missing = quality == DIA_MISSING_QUALITY;
        if (!missing && (value <= -10000000 || value >= 10000000))
            return RefuseAt(refusal, number, Format("hauteur hors limites (%lld)", static_cast<long long>(value)));
        if (!AppendMeasurement(m, block.start + block.read * block.step, missing ? MISSING_MICRO : value * MICRO,
                               quality != 0, number, refusal))
            return false;
        ++block.read;
        if (end == std::string_view::npos)
            return true;
        line.remove_prefix(end + 1);
    }
}

// At the end of a block of values: the count TYD announced.
bool CloseBlock(const DiaBlock& block, int number, ImportRefusal& refusal)
{
    if (block.wrdLine == 0 || block.read == block.expected)
        return true;
    return RefuseAt(refusal, number,
                    Format("les valeurs s'arrêtent après %lld des %lld annoncées par TYD",
                           static_cast<long long>(block.read), static_cast<long long>(block.expected)));
}

bool StartValues(DiaBlock& block, int number, Measurements& m, ImportRefusal& refusal)
{
    if (!block.timed)
        return RefuseAt(refusal, number, "bloc de valeurs sans ligne TYD");
    const HeightUnit unit = block.unit.value_or(HeightUnit::Centimetre);
    if (m.unitStated && unit != m.unit)
        return RefuseAt(refusal, number, "les blocs du fichier n'ont pas la même unité");
    m.unit = unit;
    m.unitStated = true;
    block.wrdLine = number;
    return true;
}

}  // namespace

bool LooksLikeDia(std::string_view text)
{
    LineReader in = LinesOf(text);
    std::string_view line;
    if (!NextFilledLine(in, line))
        return false;
    line = Trim(line);
    return line.substr(0, 5) == "[IDT;" || line == "[W3H]";
}

bool ReadDia(std::string_view text, Measurements& m, ImportRefusal& refusal)
{
    m.format = "Rijkswaterstaat DIA";
    m.zoneMinutes = DIA_ZONE_MINUTES;
    LineReader in = LinesOf(text);
    DiaBlock block;
    std::string_view line;
    while (NextLine(in, line)) {
        const std::string_view trimmed = Trim(line);
        if (trimmed.empty())
            continue;
        if (trimmed.front() == '[') {
            if (!CloseBlock(block, in.number, refusal))
                return false;
            if (trimmed == "[W3H]")
                block = DiaBlock{};
            else
                block.wrdLine = 0;
            if (trimmed == "[WRD]" && !StartValues(block, in.number, m, refusal))
                return false;
        } else if (block.wrdLine != 0) {
            if (!ReadValues(trimmed, in.number, block, m, refusal))
                return false;
        } else if (!ReadHeaderLine(trimmed, in.number, block, m, refusal)) {
            return false;
        }
    }
    return CloseBlock(block, in.number, refusal);
}
