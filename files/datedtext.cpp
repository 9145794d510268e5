// A plain text of two columns: an ISO 8601 date and time, with or without
// an offset from UTC, and a height, separated by a comma, a semicolon, a tab
// or blanks, with a header line or not. An empty height after a separator
// is missing. The unit is taken from the header when a column's head names
// one (m, cm, mm, ft), and the datum when it names one after the word "datum"; the
// offsets, when every row gives one, state the time base.
#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

#include "base/text.h"
#include "files/gaugeformats.h"

namespace {

bool IsSeparator(char c)
{
    return c == ',' || c == ';' || c == '\t' || c == ' ';
}

bool StartsWithTime(std::string_view line)
{
    std::int64_t clock = 0;
    std::optional<int> offset;
    return IsoTimeAtStart(Trim(line), clock, offset) > 0;
}

// The datum a header names after the word "datum": "date,height (m),datum: NAP".
void ReadDatumFrom(std::string_view header, Measurements& m)
{
    std::string lower(header);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t at = lower.find("datum");
    if (at == std::string::npos)
        return;
    std::string_view name = Trim(header.substr(at + 5));
    if (!name.empty() && (name[0] == ':' || name[0] == '='))
        name = Trim(name.substr(1));
    m.datum = std::string(Trim(name.substr(0, name.find_first_of(",;\t"))));
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::optional<HeightUnit> UnitNamed(std::string_view word)
{
    const struct { const char* word; HeightUnit unit; } units[] = {
        {"m", HeightUnit::Metre}, {"cm", HeightUnit::Centimetre}, {"mm", HeightUnit::Millimetre},
        {"ft", HeightUnit::Foot}, {"feet", HeightUnit::Foot}};
    for (const auto& u : units)
        if (EqualsIgnoringCase(word, u.word))
            return u.unit;
    return std::nullopt;
}

// The unit a column's head names, in brackets ("height (m)", "[ft]") or as
// the word after its name ("niveau_cm"); a bracket that holds more than a
// unit, such as a date pattern "(yyyy-mm-dd hh:mm)", names none.
std::optional<HeightUnit> UnitOfColumn(std::string_view column)
{
    const std::size_t open = column.find_first_of("([");
    if (open != std::string_view::npos) {
        const std::size_t close = column.find_first_of(")]", open);
        return UnitNamed(Trim(column.substr(open + 1, close == std::string_view::npos ? close : close - open - 1)));
    }
    column = Trim(column);
    const std::size_t before = column.find_last_of(" _-");
    if (before == std::string_view::npos)
        return std::nullopt;
    return UnitNamed(column.substr(before + 1));
}

// The datum, and the unit of the first column whose head names one.
void ReadUnitFrom(std::string_view header, Measurements& m)
{
    ReadDatumFrom(header, m);
    for (std::size_t start = 0; start <= header.size() && !m.unitStated;) {
        const std::size_t end = std::min(header.find_first_of(",;\t", start), header.size());
        if (const std::optional<HeightUnit> unit = UnitOfColumn(header.substr(start, end - start))) {
            m.unit = *unit;
            m.unitStated = m.unitFromHeader = true;
        }
        start = end + 1;
    }
}

// The height after the date, up to the next separator of the same kind:
// an empty field after a comma, a semicolon or a tab is a missing height;
// nothing at all after the date is a cut line. Where the comma does not
// separate the fields, it may be the decimal sign ("1,25").
bool HeightField(std::string_view rest, std::int64_t& micro, std::string& fault)
{
    if (rest.empty() || !IsSeparator(rest[0])) {
        fault = "ligne tronquée : la hauteur manque après la date";
        return false;
    }
    std::size_t p = std::min(rest.find_first_not_of(' '), rest.size());
    char separator = rest[0] == '\t' ? '\t' : ' ';
    if (p < rest.size() && (rest[p] == ',' || rest[p] == ';'))
        separator = rest[p++];
    const std::string_view field = Trim(rest.substr(p));
    const std::string_view written = field.substr(0, separator == ' ' ? field.find_first_of(" \t") : field.find(separator));
    std::string value(written);
    if (separator != ',' && value.find(',') != std::string::npos && value.find('.') == std::string::npos)
        value[value.find(',')] = '.';
    micro = MISSING_MICRO;
    if (value.empty() && separator == ' ')
        fault = "ligne tronquée : la hauteur manque après la date";
    else if (!value.empty() && !ParseMicro(value, micro))
        fault = Format("hauteur illisible « %.*s »", static_cast<int>(written.size()), written.data());
    return fault.empty();
}

bool ReadRow(std::string_view line, int number, bool& first, Measurements& m, ImportRefusal& refusal)
{
    line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
    std::int64_t clock = 0;
    std::optional<int> offset;
    const std::size_t taken = IsoTimeAtStart(line, clock, offset);
    if (taken == 0)
        return RefuseAt(refusal, number, "date et heure ISO 8601 illisibles (par exemple 2009-01-01 00:00)");
    if (!first && offset.has_value() != m.zoneInEachRow)
        return RefuseAt(refusal, number, "certaines lignes donnent leur décalage horaire et d'autres non");
    if (first)
        m.zoneInEachRow = m.zoneStated = offset.has_value();
    first = false;
    std::int64_t micro = 0;
    std::string fault;
    if (!HeightField(line.substr(taken), micro, fault))
        return RefuseAt(refusal, number, fault);
    const std::int64_t utcOrClock = offset ? clock - std::int64_t{60} * *offset : clock;
    return AppendMeasurement(m, utcOrClock, micro, false, number, refusal);
}

// The decimals of the height that ends a row: the digits at its end after
// a decimal sign; 0 for a whole number.
std::size_t DecimalsAtEnd(std::string_view line)
{
    line = Trim(line);
    const std::size_t digits = line.size() - 1 - std::min(line.find_last_not_of("0123456789"), line.size() - 1);
    const std::size_t mark = line.size() - digits - 1;
    return digits > 0 && mark < line.size() && (line[mark] == '.' || line[mark] == ',') ? digits : 0;
}

// A last row without its line end is whole when its height has the decimals
// of the row before: a file cut inside its last number has fewer (1.48 read
// as 1.4); a whole number cannot show it, and is taken as cut.
bool RowWhole(const LineReader& in, std::string_view line, std::string_view previous)
{
    return !LastLineUnended(in) || (DecimalsAtEnd(line) > 0 && DecimalsAtEnd(line) == DecimalsAtEnd(previous));
}

}  // namespace

bool LooksLikeDatedText(std::string_view text)
{
    LineReader in = LinesOf(text);
    std::string_view line;
    if (!NextFilledLine(in, line))
        return false;
    return StartsWithTime(line) || (NextFilledLine(in, line) && StartsWithTime(line));
}

bool ReadDatedText(std::string_view text, Measurements& m, ImportRefusal& refusal)
{
    m.format = "Texte daté (ISO 8601)";
    LineReader in = LinesOf(text);
    std::string_view line;
    NextFilledLine(in, line);
    bool first = true;
    if (!StartsWithTime(line))
        ReadUnitFrom(line, m);
    else if (!ReadRow(line, in.number, first, m, refusal))
        return false;
    for (std::string_view previous = line; NextFilledLine(in, line); previous = line) {
        if (!RowWhole(in, line, previous))
            return RefuseAt(refusal, in.number, "ligne tronquée : la dernière ligne n'a pas de fin de ligne "
                                                "et sa hauteur n'a pas les décimales de la ligne d'avant");
        if (!ReadRow(line, in.number, first, m, refusal))
            return false;
    }
    return true;
}
