#include "exports/formats.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "model/port.h"
#include "model/units.h"
#include "model/waves.h"

namespace {

constexpr double DEGREES_PER_RADIAN = 57.29577951308232;

// ---- CSV -------------------------------------------------------------------------

// A field as a spreadsheet reads it back: quoted when it holds a comma, a
// quote or a line end, with its quotes doubled.
std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// ---- iCalendar -------------------------------------------------------------------

// A TEXT value: backslash, semicolon and comma escaped, line ends as \n.
std::string IcsText(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '\\' || c == ';' || c == ',')
            escaped += '\\';
        if (c == '\n')
            escaped += "\\n";
        else if (c != '\r')
            escaped += c;
    }
    return escaped;
}

// A content line folded so that no line is longer than 75 octets, never
// inside a UTF-8 character: each continuation starts with a blank.
std::string IcsLine(const std::string& line)
{
    std::string folded;
    std::size_t start = 0;
    std::size_t limit = 75;
    while (line.size() - start > limit) {
        std::size_t cut = start + limit;
        while ((static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        folded += line.substr(start, cut - start) + "\r\n ";
        start = cut;
        limit = 74;  // the leading blank counts
    }
    return folded + line.substr(start) + "\r\n";
}

std::string TideSummary(const Tide& tide)
{
    if (tide.high)
        return Format("Pleine mer %s m (coef. %i)", FrenchDecimal(tide.height, 1).c_str(), tide.coefficient);
    return "Basse mer " + FrenchDecimal(tide.height, 1) + " m";
}

std::string TideEvent(const Tide& tide, const std::string& port, const std::string& stamp)
{
    const std::string start = IsoBasicUtc(tide.time);
    std::string event = "BEGIN:VEVENT\r\n";
    event += IcsLine("UID:" + start + (tide.high ? "-PM-" : "-BM-") + IcsText(port) + "@haliome");
    event += "DTSTAMP:" + stamp + "\r\n";
    event += "DTSTART:" + start + "\r\n";
    event += IcsLine("SUMMARY:" + IcsText(TideSummary(tide)));
    if (!port.empty())
        event += IcsLine("LOCATION:" + IcsText(port));
    event += "TRANSP:TRANSPARENT\r\n";  // a tide does not make anyone busy
    return event + "END:VEVENT\r\n";
}

// ---- JSON ------------------------------------------------------------------------

std::string JsonString(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += std::string("\\") + c;
        else if (static_cast<unsigned char>(c) < 0x20)
            quoted += Format("\\u%04x", static_cast<unsigned>(c));
        else
            quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

std::string FrenchDecimal(double x, int decimals)
{
    std::string text = Format("%.*f", decimals, x);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::string TidesCsv(const std::vector<Tide>& tides, Clock clock)
{
    std::string csv = "date,type,hauteur_m,coefficient\r\n";
    for (const Tide& tide : tides)
        csv += Format("%s,%s,%.2f,%s\r\n", IsoDateTime(tide.time, clock).c_str(), tide.high ? "PM" : "BM",
                      tide.height, tide.high ? Format("%i", tide.coefficient).c_str() : "");
    return csv;
}

std::string TidesICalendar(const std::vector<Tide>& tides, const std::string& port, CalendarTime stamp)
{
    std::string ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Haliome//Haliome//FR\r\n"
                      "CALSCALE:GREGORIAN\r\nMETHOD:PUBLISH\r\n";
    if (!port.empty())
        ics += IcsLine("X-WR-CALNAME:" + IcsText("Marées " + port));
    const std::string stampText = IsoBasicUtc(stamp);
    for (const Tide& tide : tides)
        ics += TideEvent(tide, port, stampText);
    return ics + "END:VCALENDAR\r\n";
}

std::string TidesJson(const std::vector<Tide>& tides, const std::string& port, Clock clock)
{
    std::string json = "{\r\n  \"port\": " + JsonString(port) + ",\r\n  \"tides\": [";
    for (std::size_t i = 0; i < tides.size(); ++i) {
        const Tide& tide = tides[i];
        json += Format("%s\r\n    {\"time\": \"%s\", \"type\": \"%s\", \"height_m\": %.2f, \"coefficient\": %s}",
                       i ? "," : "", IsoDateTime(tide.time, clock).c_str(), tide.high ? "PM" : "BM", tide.height,
                       tide.high ? Format("%i", tide.coefficient).c_str() : "null");
    }
    return json + "\r\n  ]\r\n}\r\n";
}

std::string TidesText(const std::vector<Tide>& tides, const std::string& port, Clock clock)
{
    std::string text = port.empty() ? "" : port + "\r\n";
    for (const Tide& tide : tides) {
        const std::string zone = clock == Clock::Utc ? "UTC" : UtcOffsetText(UtcOffsetOf(tide.time));
        text += Format("%s %-6s  %s  %6.2f m", IsoMinuteText(tide.time, clock, " ").c_str(), zone.c_str(),
                       tide.high ? "PM" : "BM", tide.height);
        text += tide.high ? Format("  coef %3i\r\n", tide.coefficient) : std::string("\r\n");
    }
    return text;
}

std::vector<GridHeight> HeightsOnGrid(const TimeSpan& span, long stepSeconds)
{
    std::vector<GridHeight> heights;
    for (CalendarTime t = span.from; t < span.to; t += stepSeconds)
        heights.push_back(GridHeight{t, PredictHeight(static_cast<double>(t - Header.Time_of_debut), 0)});
    return heights;
}

std::string HeightsCsv(const std::vector<GridHeight>& heights, Clock clock)
{
    std::string csv = "date,hauteur_m\r\n";
    for (const GridHeight& h : heights)
        csv += Format("%s,%.3f\r\n", IsoDateTime(h.time, clock).c_str(), h.height);
    return csv;
}

std::string HeightsJson(const std::vector<GridHeight>& heights, const std::string& port, Clock clock)
{
    std::string json = "{\r\n  \"port\": " + JsonString(port) + ",\r\n  \"heights\": [";
    for (std::size_t i = 0; i < heights.size(); ++i)
        json += Format("%s\r\n    {\"time\": \"%s\", \"height_m\": %.3f}", i ? "," : "",
                       IsoDateTime(heights[i].time, clock).c_str(), heights[i].height);
    return json + "\r\n  ]\r\n}\r\n";
}

namespace {

// The joint analysis's intervals and signal-to-noise ratio; empty fields
// for a wave it did not give.
std::string UncertaintyFields(const WaveUncertainty& u)
{
    if (std::isnan(u.ampl95))
        return ",,";
    return Format("%.6f,%.6f,%.6g", u.ampl95, u.etab95 * DEGREES_PER_RADIAN, u.snr);
}

}  // namespace

std::string WavesCsv()
{
    std::string csv = "nom,periode_h,vitesse_deg_h,amplitude_m,phase_deg,phase_rad,ic95_amplitude_m,ic95_phase_deg,rsb\r\n";
    csv += Format("Niveau Moyen,,0.000000,%.6f,0.000000,0.000000,,,\r\n", WaveSet.MeanLevel);
    for (int i = 0; i < WaveSet.count; ++i) {
        const Wave& w = WaveSet.waves[i];
        csv += Format("%s,%.6f,%.6f,%.6f,%.6f,%.6f,%s\r\n", CsvField(w.name).c_str(), PeriodHoursFromSpeed(w.speed),
                      w.speed * DEGREES_PER_RADIAN * 3600.0, w.ampl, w.etab * DEGREES_PER_RADIAN, w.etab,
                      UncertaintyFields(w.uncertainty).c_str());
    }
    return csv;
}
