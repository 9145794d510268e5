// The exports of a wave set read from the bytes as a wave file, over three
// days of a month of its year that the export dialog takes, each read back
// as its format says:
// - CSV (tides, heights, waves): every row ends with CR LF and has the
//   header's number of fields; dates read back to the instant exported,
//   heights and the waves' numbers are finite numbers, coefficients integers;
// - JSON (tides, heights): valid UTF-8 JSON (so no NaN nor Infinity);
// - iCalendar: CR LF lines of at most 75 octets, no control character but tabs,
//   BEGIN and END balanced, one VEVENT per tide;
// - text (tides, heights): one CR LF line for the banner and one per row;
// - the chart as SVG: well-formed XML of UTF-8 text without control characters.
// - the printed tables, one input in eight (their month's scan is slow):
//   one page of the month, a row per day, each as many cells as there are
//   column heads and groups over them, all UTF-8; one input in a thousand
//   also draws them as PDF (Qt's painter, a thousand times slower), which
//   must be a whole PDF file.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/calendar.h"
#include "base/text.h"
#include "exports/formats.h"
#include "exports/pages.h"
#include "exports/pdf.h"
#include "files/wavefile.h"
#include "model/port.h"
#include "model/waves.h"
#include "platform/headless/headless.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// RFC 4180 records, each ended by CR LF, with the header's number of fields.
Rows CsvRows(const std::string& csv)
{
    Rows rows(1, std::vector<std::string>(1));
    for (std::size_t i = 0; i < csv.size(); ++i) {
        std::string& field = rows.back().back();
        if (csv[i] == '"' && field.empty())
            for (++i; i < csv.size() && (csv[i] != '"' || (i + 1 < csv.size() && csv[i + 1] == '"' && ++i)); ++i)
                field += csv[i];
        else if (csv[i] == ',')
            rows.back().emplace_back();
        else if (csv[i] == '\r' && i + 1 < csv.size() && csv[i + 1] == '\n' && ++i)
            rows.emplace_back(1);
        else {
            Require(csv[i] != '\r' && csv[i] != '\n', "CSV: no line end but CR LF outside quotes");
            field += csv[i];
        }
    }
    Require(rows.back() == std::vector<std::string>(1), "CSV: the last row ends with CR LF");
    rows.pop_back();
    for (const auto& row : rows)
        Require(row.size() == rows.front().size(), "CSV: every row has the header's number of fields");
    return rows;
}

bool IsNumber(const std::string& text)
{
    char* end = nullptr;
    const double x = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(x) && text.find_first_of("xXnN") == std::string::npos;
}

// A JSON value from at, recursively; false at the first byte that breaks the grammar.
bool JsonValue(const std::string& s, std::size_t& at, int depth = 0)
{
    auto blanks = [&] { at = std::min(s.find_first_not_of(" \t\r\n", at), s.size()); };
    auto eat = [&](char c) { return blanks(), at < s.size() && s[at] == c && ++at; };
    auto string = [&] {
        if (!eat('"'))
            return false;
        for (; at < s.size() && s[at] != '"'; ++at)
            if (static_cast<unsigned char>(s[at]) < 0x20 ||
                (s[at] == '\\' && (++at == s.size() || std::string_view("\"\\/bfnrtu").find(s[at]) == std::string_view::npos)))
                return false;
        return at++ < s.size();
    };
    blanks();
    if (depth > 64 || at >= s.size())
        return false;
    if (s[at] == '{' || s[at] == '[') {
        const char close = s[at++] == '{' ? '}' : ']';
        if (eat(close))
            return true;
        do
            if ((close == '}' && (!string() || !eat(':'))) || !JsonValue(s, at, depth + 1))
                return false;
        while (eat(','));
        return eat(close);
    }
    if (s[at] == '"')
        return string();
    for (const char* word : {"true", "false", "null"})
        if (s.compare(at, std::strlen(word), word) == 0)
            return at += std::strlen(word), true;
    const std::size_t start = at;
    at = s.find_first_not_of("0123456789+-.eE", at);
    const std::string number = s.substr(start, at - start);
    return IsNumber(number) && number[0] != '+' && number[number[0] == '-'] != '.';
}

void RequireJson(const std::string& json)
{
    std::size_t at = 0;
    Require(IsValidUtf8(json) && JsonValue(json, at) && json.find_first_not_of(" \t\r\n", at) == std::string::npos,
            "JSON: one valid value");
}

// Lines ended by CR LF, none holding another line end.
std::vector<std::string> CrLfLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
        end = text.find("\r\n", at);
        Require(end != std::string::npos, "every line ends with CR LF");
        lines.push_back(text.substr(at, end - at));
        Require(lines.back().find_first_of("\r\n") == std::string::npos, "no line end but CR LF");
    }
    return lines;
}

void RequireICalendar(const std::string& ics, std::size_t tides)
{
    std::vector<std::string> open;
    std::size_t events = 0;
    for (const std::string& line : CrLfLines(ics)) {
        Require(line.size() <= 75, "iCalendar: lines folded at 75 octets");
        for (const char c : line)
            Require((static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) || c == '\t', "iCalendar: no control character");
        if (line.starts_with("BEGIN:"))
            open.push_back(line.substr(6)), events += line == "BEGIN:VEVENT";
        if (line.starts_with("END:")) {
            Require(!open.empty() && open.back() == line.substr(4), "iCalendar: END closes the last BEGIN");
            open.pop_back();
        }
    }
    Require(open.empty() && IsValidUtf8(ics) && events == tides, "iCalendar: balanced, one event per tide");
}

// Tags opened and closed, text escaped, characters that XML allows.
void RequireSvg(const std::string& svg)
{
    int open = 0;
    for (std::size_t at = svg.find('<'); at != std::string::npos; at = svg.find('<', at + 1)) {
        const std::size_t end = svg.find('>', at);
        Require(end != std::string::npos && svg.find('<', at + 1) > end, "SVG: tags closed");
        open += svg[at + 1] == '/' ? -1 : svg[end - 1] != '/';
        Require(open >= 0, "SVG: no closing tag without its opening one");
    }
    Require(open == 0 && IsValidUtf8(svg), "SVG: every tag closed");
    for (std::size_t at = svg.find('&'); at != std::string::npos; at = svg.find('&', at + 1))
        Require(svg.find(';', at) < svg.find_first_of(" <&", at + 1), "SVG: & starts an entity");
    for (const char c : svg)
        Require(static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\t', "SVG: no control character");
}

void RequireDates(const Rows& rows, Clock clock, const std::vector<CalendarTime>& times)
{
    Require(rows.size() == times.size() + 1, "CSV: one row per tide or height");
    for (std::size_t i = 1; i < rows.size(); ++i)
        Require(TimeOfIsoDate(rows[i][0], clock, false) == times[i - 1] && IsNumber(rows[i][rows[0][1] == "type" ? 2 : 1]),
                "CSV: the date reads back to the instant, the height is a number");
}



void RequirePages(long year, int month, bool drawn)
{
    const std::optional<std::vector<TablePage>> pages = TablePages(year, month);
    if (!pages)
        return;
    Require(pages->size() == 1, "pages: one for the month");
    const TablePage& page = pages->front();
    Require(page.rows.size() >= 28 && page.rows.size() <= 31, "pages: a row per day");
    int grouped = 0;
    for (const ColumnGroup& group : page.groups)
        grouped += group.columns;
    Require(grouped == static_cast<int>(page.heads.size()), "pages: the groups span the column heads");
    for (const TableRow& row : page.rows) {
        Require(row.cells.size() == page.heads.size(), "pages: each row has a cell per column");
        for (const std::string& cell : row.cells)
            Require(IsValidUtf8(cell), "pages: UTF-8 cells");
    }
    Require(IsValidUtf8(page.title), "pages: a UTF-8 title");
    if (!drawn)
        return;
    const std::optional<std::string> pdf = PdfOfPages(*pages, page.title);
    Require(pdf && pdf->starts_with("%PDF-") && pdf->find("%%EOF", pdf->size() - 8) != std::string::npos,
            "PDF: a whole file");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartFuzzing();
    headless::RecordDrawing(true);  // the SVG export is the drawing
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Each wave costs the month's scan its sum at every step: sets of more
    // than some forty waves are the wave harness's.
    if (size > 2048)
        return -1;
    ResetForInput();
    WaveFilePath = "fuzz.TID";
    if (!ReadWaveFile(BytesOf(data, size)))
        return 0;
    // A wave quicker than two hours, which no tide has, makes thousands of
    // tides a day: the scan's tests' business.
    for (int i = 0; i < WaveSet.count; ++i)
        if (std::fabs(WaveSet.waves[i].speed) * 7200 > 6.283185307179586)
            return 0;
    const std::optional<TimeSpan> month = SpanOf(Header.StartYear, static_cast<int>(size % 12));  // as exported
    const ExportForm form{size & 1 ? Clock::Utc : Clock::Local, (size & 2) != 0};
    Header.ShowCoefficient = (size & 4) == 0;
    const Rows waves = CsvRows(WavesCsv());
    Require(waves.size() == static_cast<std::size_t>(WaveSet.count) + 2, "CSV: a row per wave and the mean level");
    for (std::size_t i = 1; i < waves.size(); ++i)
        for (std::size_t j = 1; j < waves[i].size(); ++j)
            Require(waves[i][j].empty() || IsNumber(waves[i][j]), "CSV: the waves' numbers are numbers");
    PaintChart(1);
    RequireSvg(headless::ClientAreaSvg());
    if (!month)
        return 0;
    if (size % 8 == 0)
        RequirePages(Header.StartYear, static_cast<int>(size / 8 % 12), size % 1024 == 0);
    const TimeSpan span{month->from, month->from + 3 * 86400};
    const std::optional<std::vector<Tide>> tides = TidesIn(span);
    if (!tides)
        return 0;
    std::vector<CalendarTime> times;
    for (const Tide& tide : *tides)
        times.push_back(tide.time);
    // A secondary port's offsets move highs and lows apart: the tides are in time order all the same.
    Require(std::is_sorted(times.begin(), times.end()), "tides come in time order");
    RequireDates(CsvRows(TidesCsv(*tides, form)), form.clock, times);
    RequireJson(TidesJson(*tides, PortName(), form));
    RequireICalendar(TidesICalendar(*tides, PortName(), span.from), tides->size());
    Require(CrLfLines(TidesText(*tides, form)).size() == tides->size() + 1, "text: the banner and a line per tide");

    times.clear();
    for (CalendarTime t = span.from; t < span.to; t += 3600)
        times.push_back(t);
    std::string heights[3];
    for (const HeightsFormat f : {HeightsFormat::Csv, HeightsFormat::Json, HeightsFormat::Text})
        WriteHeights(span, 3600, f, PortName(), form, [&heights, f](const std::string& piece) {
            return heights[static_cast<int>(f)] += piece, true;
        });
    RequireDates(CsvRows(heights[0]), form.clock, times);
    RequireJson(heights[1]);
    Require(CrLfLines(heights[2]).size() == times.size() + 1, "text: the banner and a line per height");
    return 0;
}
