#include "exports/formats.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/text.h"
#include "model/astronomy.h"
#include "model/modeloptions.h"
#include "model/port.h"
#include "model/published.h"
#include "model/units.h"
#include "model/waves.h"
#include "tables/porttide.h"

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

// A TEXT value: backslash, semicolon and comma escaped, line ends as \n,
// and no other control character but the tab, which the format forbids (a
// name read from a wave file may hold them).
std::string IcsText(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '\\' || c == ';' || c == ',')
            escaped += '\\';
        if (c == '\n')
            escaped += "\\n";
        else if ((static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) || c == '\t')
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
    if (tide.high && Header.ShowCoefficient)
        return Format("Pleine mer %s m (coef. %i)", FrenchDecimal(tide.height, 1).c_str(), tide.coefficient);
    return (tide.high ? "Pleine mer " : "Basse mer ") + FrenchDecimal(tide.height, 1) + " m";
}

// The wave set the tides come from, as 16 hex digits: FNV-1a (64 bits) of
// the port's name, the year, the mean level and every wave's numbers, so
// that two wave sets of one port give their tides different UIDs and the
// same set the same ones.
std::string WaveSetHash()
{
    std::uint64_t hash = 14695981039346656037ULL;
    auto mix = [&hash](const void* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            hash ^= static_cast<const unsigned char*>(data)[i];
            hash *= 1099511628211ULL;
        }
    };
    mix(Header.PortName.data(), Header.PortName.size());
    mix(&Header.StartYear, sizeof Header.StartYear);
    mix(&WaveSet.MeanLevel, sizeof WaveSet.MeanLevel);
    for (int i = 0; i < WaveSet.count; ++i) {
        const Wave& w = WaveSet.waves[i];
        for (const double* x : {&w.speed, &w.ampl, &w.etab})
            mix(x, sizeof *x);
    }
    return Format("%016llx", static_cast<unsigned long long>(hash));
}

std::string TideEvent(const Tide& tide, const std::string& port, const std::string& stamp,
                      const std::string& description, const std::string& waveSet)
{
    const std::string start = IsoBasicUtc(tide.time);
    std::string event = "BEGIN:VEVENT\r\n";
    event += "UID:" + start + (tide.high ? "-PM-" : "-BM-") + waveSet + "@haliome\r\n";
    event += "DTSTAMP:" + stamp + "\r\n";
    event += "DTSTART:" + start + "\r\n";
    event += IcsLine("SUMMARY:" + IcsText(TideSummary(tide)));
    event += IcsLine("DESCRIPTION:" + IcsText(description));
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

namespace {

// ---- The forms of the heights -----------------------------------------------------

constexpr double METRES_PER_FOOT = 0.3048;

double InUnit(double metres, const ExportForm& form)
{
    return form.feet ? metres / METRES_PER_FOOT : metres;
}

const char* UnitOf(const ExportForm& form)
{
    return form.feet ? "ft" : "m";
}

std::string CoefficientText(const Tide& tide, const char* none)
{
    return tide.high ? Format("%i", tide.coefficient) : none;
}

const char* NodalText()
{
    return Model.NodalCorrections ? "oui" : "non";
}

// The clock, as the texts say it: the port's, or UTC when asked.
std::string ClockOf(const ExportForm& form)
{
    return form.clock == Clock::Utc ? "UTC (fuseau du port : " + ClockDescription() + ")" : ClockDescription();
}

}  // namespace

std::string BannerLine(const ExportForm& form)
{
    const std::string port = PortName();
    return (port.empty() ? std::string() : port + " ; ") + "heure : " + ClockOf(form) + " ; hauteurs en " +
           UnitOf(form) + " " + HeightsReference() + Format(" ; ondes de %i ; corrections nodales : %s\r\n",
                                                            Header.StartYear, NodalText());
}

std::string TidesCsv(const std::vector<Tide>& tides, const ExportForm& form)
{
    const bool coefficient = Header.ShowCoefficient;
    const std::string trailer =
        "," + CsvField(ClockOf(form)) + "," + CsvField(DatumText()) + "," + NodalText() + "\r\n";
    std::string csv = Format("date,type,hauteur_%s%s,fuseau,zero,corrections_nodales\r\n", UnitOf(form),
                             coefficient ? ",coefficient" : "");
    for (const Tide& tide : tides)
        csv += Format("%s,%s,%.2f", IsoDateTime(tide.time, form.clock, true).c_str(), tide.high ? "PM" : "BM",
                      InUnit(tide.height, form)) +
               (coefficient ? "," + CoefficientText(tide, "") : "") + trailer;
    return csv;
}

std::string TidesICalendar(const std::vector<Tide>& tides, const std::string& port, CalendarTime stamp)
{
    std::string ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Haliome//Haliome//FR\r\n"
                      "CALSCALE:GREGORIAN\r\nMETHOD:PUBLISH\r\n";
    if (!port.empty())
        ics += IcsLine("X-WR-CALNAME:" + IcsText("Marées " + port));
    if (!Header.TimeZone.empty())
        ics += IcsLine("X-WR-TIMEZONE:" + Header.TimeZone);
    const std::string stampText = IsoBasicUtc(stamp);
    const std::string description = "Hauteurs en mètres " + HeightsReference() + " ; heure du port : " +
                                    ClockDescription() + " ; corrections nodales : " +
                                    NodalText() + ".";
    const std::string waveSet = WaveSetHash();
    for (const Tide& tide : tides)
        ics += TideEvent(tide, port, stampText, description, waveSet);
    return ics + "END:VCALENDAR\r\n";
}

namespace {

// The object's members before its list: the port, its clock and the datum.
std::string JsonHead(const std::string& port, const ExportForm& form)
{
    return "{\r\n  \"port\": " + JsonString(port) + ",\r\n  \"zone\": " +
           (Header.TimeZone.empty() ? std::string("null") : JsonString(Header.TimeZone)) +
           ",\r\n  \"fuseau\": " + JsonString(ClockOf(form)) + ",\r\n  \"zero\": " + JsonString(DatumText()) +
           ",\r\n  \"unite\": \"" + UnitOf(form) + "\",\r\n  \"corrections_nodales\": " +
           (Model.NodalCorrections ? "true" : "false") + ",\r\n";
}

}  // namespace

std::string TidesJson(const std::vector<Tide>& tides, const std::string& port, const ExportForm& form)
{
    std::string json = JsonHead(port, form) + "  \"marees\": [";
    for (std::size_t i = 0; i < tides.size(); ++i) {
        const Tide& tide = tides[i];
        json += Format("%s\r\n    {\"date\": \"%s\", \"type\": \"%s\", \"hauteur_%s\": %.2f", i ? "," : "",
                       IsoDateTime(tide.time, form.clock, true).c_str(), tide.high ? "PM" : "BM", UnitOf(form),
                       InUnit(tide.height, form));
        json += (Header.ShowCoefficient ? ", \"coefficient\": " + CoefficientText(tide, "null") : "") + "}";
    }
    return json + "\r\n  ]\r\n}\r\n";
}

namespace {

std::string ClockTimeText(CalendarTime t, Clock clock)
{
    const std::string zone = clock == Clock::Utc ? "UTC" : UtcOffsetText(UtcOffsetOf(t));
    return Format("%s %-6s", IsoMinuteText(t, clock, " ").c_str(), zone.c_str());
}

}  // namespace

std::string TidesText(const std::vector<Tide>& tides, const ExportForm& form)
{
    std::string text = BannerLine(form);
    for (const Tide& tide : tides) {
        text += Format("%s  %s  %6.2f %s", ClockTimeText(tide.time, form.clock).c_str(), tide.high ? "PM" : "BM",
                       InUnit(tide.height, form), UnitOf(form));
        text += tide.high && Header.ShowCoefficient ? Format("  coef %3i\r\n", tide.coefficient) : std::string("\r\n");
    }
    return text;
}

namespace {

// Rows handed to the writer at once: few enough to hold, many enough that
// the writer is not called for every line.
constexpr int ROWS_A_PIECE = 1024;

std::string HeightsHead(HeightsFormat format, const std::string& port, const ExportForm& form)
{
    if (format == HeightsFormat::Csv)
        return Format("date,hauteur_%s,fuseau,zero,corrections_nodales\r\n", UnitOf(form));
    if (format == HeightsFormat::Json)
        return JsonHead(port, form) + "  \"hauteurs\": [";
    return BannerLine(form);
}

// The row of the height (m) at t; trailer ends a CSV row.
std::string HeightRow(HeightsFormat format, CalendarTime t, double height, bool first, const ExportForm& form,
                      const std::string& trailer)
{
    if (format == HeightsFormat::Csv)
        return Format("%s,%.3f", IsoDateTime(t, form.clock, true).c_str(), InUnit(height, form)) + trailer;
    if (format == HeightsFormat::Json)
        return Format("%s\r\n    {\"date\": \"%s\", \"hauteur_%s\": %.3f}", first ? "" : ",",
                      IsoDateTime(t, form.clock, true).c_str(), UnitOf(form), InUnit(height, form));
    return Format("%s  %7.3f %s\r\n", ClockTimeText(t, form.clock).c_str(), InUnit(height, form), UnitOf(form));
}

}  // namespace

bool WriteHeights(const TimeSpan& span, long stepSeconds, HeightsFormat format, const std::string& port,
                  const ExportForm& form, const std::function<bool(const std::string&)>& write)
{
    const std::string trailer =
        "," + CsvField(ClockOf(form)) + "," + CsvField(DatumText()) + "," + NodalText() + "\r\n";
    std::string piece = HeightsHead(format, port, form);
    int rows = 0;
    for (CalendarTime t = span.from; t < span.to; t += stepSeconds) {
        const double height = HeightAboveDatum(PortHeight(static_cast<double>(t - Header.Time_of_debut)));
        piece += HeightRow(format, t, height, t == span.from, form, trailer);
        if (++rows == ROWS_A_PIECE) {
            if (!write(piece))
                return false;
            piece.clear();
            rows = 0;
        }
    }
    return write(piece + (format == HeightsFormat::Json ? "\r\n  ]\r\n}\r\n" : ""));
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

// A constituent's g and f as the wave set's year gives them; empty for a
// wave at no constituent's speed.
std::string GreenwichFields(const Wave& w)
{
    const int c = ConstituentOfSpeed(w.speed);
    if (c == NO_CONSTITUENT)
        return ",";
    const GreenwichConstants k = GreenwichConstantsOf(w, c, Header.Time_of_debut, Header.StartYear);
    return Format("%.6f,%.6f", k.g, k.f);
}

}  // namespace

std::string WavesCsv()
{
    std::string csv = "nom,periode_h,vitesse_deg_h,amplitude_m,phase_deg,phase_rad,ic95_amplitude_m,ic95_phase_deg,rsb,"
                      "g_greenwich_deg,facteur_nodal\r\n";
    csv += Format("Niveau Moyen,,0.000000,%.6f,0.000000,0.000000,,,,,\r\n", WaveSet.MeanLevel);
    for (int i = 0; i < WaveSet.count; ++i) {
        const Wave& w = WaveSet.waves[i];
        // The name joined whole: a wave file may put a NUL in it, where %s would cut the row.
        csv += CsvField(w.name) + Format(",%.6f,%.6f,%.6f,%.6f,%.6f,%s,%s\r\n", PeriodHoursFromSpeed(w.speed),
                                         w.speed * DEGREES_PER_RADIAN * 3600.0, w.ampl, w.etab * DEGREES_PER_RADIAN,
                                         w.etab, UncertaintyFields(w.uncertainty).c_str(), GreenwichFields(w).c_str());
    }
    return csv;
}
