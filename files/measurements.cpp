#include "files/measurements.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <new>
#include <unordered_map>

#include "analysis/fitting.h"
#include "base/text.h"
#include "files/gaugeformats.h"
#include "files/recordfile.h"
#include "model/port.h"
#include "model/record.h"
#include "model/waves.h"

const char* UnitSymbol(HeightUnit unit)
{
    switch (unit) {
    case HeightUnit::Metre: return "m";
    case HeightUnit::Centimetre: return "cm";
    case HeightUnit::Millimetre: return "mm";
    case HeightUnit::Foot: return "ft";
    }
    return "m";
}

namespace {

bool ReadMeasurements(std::string_view bytes, const std::string& stationByDefault, Measurements& out,
                      ImportRefusal& refusal)
{
    LineReader in = LinesOf(bytes);
    std::string_view first;
    if (!NextFilledLine(in, first))
        return RefuseAt(refusal, 1, "le fichier est vide");
    const int firstLine = in.number;
    out = Measurements{};
    bool read = false;
    if (LooksLikeDia(bytes))
        read = ReadDia(bytes, out, refusal);
    else if (LooksLikeGesla(bytes))
        read = ReadGesla(bytes, out, refusal);
    else if (LooksLikeNoaa(bytes))
        read = ReadNoaa(bytes, out, refusal);
    else if (LooksLikeUhslc(bytes))
        read = ReadUhslc(bytes, out, refusal);
    else if (LooksLikeMeds(bytes))
        read = ReadMeds(bytes, out, refusal);
    else if (LooksLikeBom(bytes))
        read = ReadBom(bytes, out, refusal);
    else if (LooksLikeNoos(bytes))
        read = ReadNoos(bytes, out, refusal);
    else if (LooksLikeDatedText(bytes))
        read = ReadDatedText(bytes, out, refusal);
    else
        return RefuseAt(refusal, firstLine,
                        "format de mesures inconnu (UHSLC, GESLA, NOAA CO-OPS, DIA, MEDS, BOM, NOOS ou texte daté "
                        "ISO 8601 attendu)");
    if (!read)
        return false;
    if (out.times.empty())
        return RefuseAt(refusal, 0, "le fichier ne contient aucune mesure");
    if (out.station.empty())
        out.station = stationByDefault;
    return true;
}

}  // namespace

// ---- What is shown ----------------------------------------------------------------

namespace {

// The most frequent step between two times.
std::string IntervalText(const std::vector<std::int64_t>& times)
{
    if (times.size() < 2)
        return "—";
    std::unordered_map<std::int64_t, std::size_t> counts;
    std::int64_t best = 0;
    std::size_t bestCount = 0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        const std::int64_t step = times[i] - times[i - 1];
        const std::size_t n = ++counts[step];
        if (n > bestCount) {
            best = step;
            bestCount = n;
        }
    }
    const std::string text = best % 60 == 0 ? Format("%lld min", static_cast<long long>(best / 60))
                                             : Format("%lld s", static_cast<long long>(best));
    return bestCount + 1 == times.size() ? text : text + " (le plus fréquent)";
}

}  // namespace

MeasurementFacts FactsOf(const Measurements& m)
{
    MeasurementFacts facts;
    facts.format = m.format;
    facts.station = m.station;
    facts.first = ClockText(m.times.front());
    facts.last = ClockText(m.times.back());
    const auto s = [](std::int64_t count) { return count > 1 ? "s" : ""; };  // French's plural, from two on
    facts.values = Format("%zu, dont %lld manquante%s ou rejetée%s et %lld signalée%s", m.times.size(),
                          static_cast<long long>(m.missing), s(m.missing), s(m.missing),
                          static_cast<long long>(m.flagged), s(m.flagged));
    facts.interval = IntervalText(m.times);
    facts.zone = m.zoneInEachRow ? "UTC (décalage donné à chaque ligne)" : ZoneText(m.zoneMinutes);
    facts.unit = UnitSymbol(m.unit);
    return facts;
}

std::string ZoneText(int zoneMinutes)
{
    if (zoneMinutes == 0)
        return "UTC";
    const int size = zoneMinutes < 0 ? -zoneMinutes : zoneMinutes;
    return Format("UTC%c%02d:%02d", zoneMinutes < 0 ? '-' : '+', size / 60, size % 60);
}

std::optional<int> ZoneFromText(const std::string& text)
{
    std::string_view s = Trim(text);
    std::string prefix(s.substr(0, 3));
    for (char& c : prefix)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (prefix == "UTC" || prefix == "GMT")
        s = Trim(s.substr(3));
    else if (s == "Z" || s == "z")
        return 0;
    if (s.empty())
        return prefix == "UTC" || prefix == "GMT" ? std::optional<int>(0) : std::nullopt;
    const int sign = s[0] == '-' ? -1 : 1;
    if (s[0] == '-' || s[0] == '+')
        s.remove_prefix(1);
    std::int64_t hours = 0, minutes = 0;
    const std::size_t colon = s.find(':');
    if (colon != std::string_view::npos) {
        if (!ParseWhole(s.substr(0, colon), hours) || s.size() - colon != 3 ||
            !ParseWhole(s.substr(colon + 1), minutes) || minutes > 59)
            return std::nullopt;
    } else {
        std::int64_t micro = 0;  // decimal hours: 5.5 is 5 h 30
        if (!ParseMicro(s, micro) || (micro * 60) % MICRO != 0)
            return std::nullopt;
        minutes = micro * 60 / MICRO;
    }
    const std::int64_t total = hours * 60 + minutes;
    if (hours < 0 || total > 14 * 60 || s.find_first_of("+-") != std::string_view::npos)
        return std::nullopt;
    return static_cast<int>(sign * total);
}

// ---- The hourly record ------------------------------------------------------------

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Whole centimetres, rounded half up as the program's records have always been.
std::int32_t CentimetresOf(std::int64_t micro, HeightUnit unit)
{
    std::int64_t num = 100, den = 1;  // cm per unit
    switch (unit) {
    case HeightUnit::Metre: break;
    case HeightUnit::Centimetre: num = 1; break;
    case HeightUnit::Millimetre: num = 1; den = 10; break;
    case HeightUnit::Foot: num = 3048; den = 100; break;
    }
    den *= MICRO;
    return static_cast<std::int32_t>(FloorDiv(2 * micro * num + den, 2 * den));
}

// The rows an import takes: measured, in the period asked for (the file's
// clock less shiftS is UTC).
struct Taken {
    const Measurements& m;
    std::int64_t shiftS = 0;
    const PortChoices& port;

    bool operator()(std::size_t i) const
    {
        const std::int64_t t = m.times[i] - shiftS;
        return m.heights[i] != MISSING_MICRO && (!port.from || t >= *port.from) && (!port.to || t < *port.to);
    }
};

std::optional<std::size_t> FirstMeasured(const Measurements& m, const Taken& taken)
{
    for (std::size_t i = 0; i < m.heights.size(); ++i)
        if (taken(i))
            return i;
    return std::nullopt;
}

// The hour of the record that row i gives: a measured height at a whole hour
// of the record's time base.
std::optional<std::int64_t> WholeHourOf(const Taken& taken, std::size_t i, CalendarTime start)
{
    const std::int64_t sinceStart = taken.m.times[i] - taken.shiftS - start;
    if (!taken(i) || sinceStart < 0 || sinceStart % 3600 != 0)
        return std::nullopt;
    return sinceStart / 3600;
}

bool HourlyRecordOf(const Measurements& m, int zoneMinutes, HeightUnit unit, const PortChoices& port,
                    ImportedRecord& out, ImportRefusal& refusal)
{
    const std::int64_t shiftS = m.zoneInEachRow ? 0 : std::int64_t{60} * zoneMinutes;
    const Taken taken{m, shiftS, port};
    const std::optional<std::size_t> first = FirstMeasured(m, taken);
    if (!first)
        return RefuseAt(refusal, 0,
                        port.from || port.to ? "le fichier ne donne aucune hauteur mesurée dans la période choisie"
                                             : "le fichier ne donne aucune hauteur mesurée");
    std::int32_t year = 0;
    std::optional<CalendarTime> start = StandardYearStartOf(m.times[*first] - shiftS, year);
    if (!start)
        return RefuseAt(refusal, 0, "la date de la première mesure ne peut pas être convertie");
    // A port's record starts on the 1 January that its first day of heights
    // reaches: the hours of the 31 December before (heights taken in UTC west
    // of Greenwich) are left out rather than a year of empty hours put in front.
    const std::optional<CalendarTime> next = YearStartTime(year + 1);
    std::int32_t leftOut = 0;
    if (!port.zone.empty() && next && *next - (m.times[*first] - shiftS) < 24 * 3600) {
        for (std::size_t i = *first; i < m.times.size() && m.times[i] - shiftS < *next; ++i)
            leftOut += taken(i) ? 1 : 0;
        if (std::any_of(m.times.begin() + static_cast<std::ptrdiff_t>(*first), m.times.end(),
                        [&](auto t) { return t - shiftS >= *next; })) {
            start = next;
            ++year;
        } else {
            leftOut = 0;
        }
    }
    std::int64_t lastHour = -1;
    for (std::size_t i = *first; i < m.times.size(); ++i)
        lastHour = WholeHourOf(taken, i, *start).value_or(lastHour);
    if (lastHour < 0)
        return RefuseAt(refusal, 0, "aucune mesure ne tombe sur une heure entière de l'heure locale normale");
    const std::int64_t days = lastHour / 24 + 1;
    if (days > MAX_RECORD_DAYS)
        return RefuseAt(refusal, 0,
                        Format("les mesures couvrent %lld jours depuis le 1er janvier %i, plus que les %li "
                               "qu'un relevé horaire peut contenir",
                               static_cast<long long>(days), year, MAX_RECORD_DAYS));
    out.values.assign(static_cast<std::size_t>(days) * 24 + 1, MISSING_HEIGHT_CM);
    for (std::size_t i = *first; i < m.times.size(); ++i)
        if (const std::optional<std::int64_t> hour = WholeHourOf(taken, i, *start))
            out.values[static_cast<std::size_t>(*hour)] = CentimetresOf(m.heights[i], unit);
    // Cut to what the record and wave files hold, so that both read back the
    // same: their readers drop a byte-order mark at the start of a file.
    std::string_view station = port.name.empty() ? std::string_view(m.station) : std::string_view(port.name);
    while (station.starts_with("\xEF\xBB\xBF"))
        station.remove_prefix(3);
    const std::string name{station};
    out.portLine = FirstChars(IsValidUtf8(name) ? name : Utf8FromWindows1252(name), PORT_NAME_CHARS) + "\n";
    out.zone = port.zone;
    // UTF-8 as the record file reads its lines back: a header's bytes that are not are Windows-1252, as a name's.
    const std::string datum = port.datumName.value_or(m.datum);
    out.datumName = IsValidUtf8(datum) ? datum : Utf8FromWindows1252(datum);
    out.datumOffset = port.datumOffset;
    out.year = year;
    out.leftOut = leftOut;
    out.start = *start;
    out.days = static_cast<std::int32_t>(days);
    out.missingHours =
        static_cast<std::int32_t>(std::count(out.values.begin(), out.values.end() - 1, MISSING_HEIGHT_CM));
    return true;
}

// ---- The import as a whole --------------------------------------------------------

std::string FileStem(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string RefusalText(const std::string& path, const ImportRefusal& refusal)
{
    if (refusal.line > 0)
        return Format("Le fichier de mesures « %s » n'a pas été importé :\nligne %i : %s.", path.c_str(),
                      refusal.line, refusal.reason.c_str());
    return Format("Le fichier de mesures « %s » n'a pas été importé :\n%s.", path.c_str(), refusal.reason.c_str());
}

// French puts the plural from two on.
const char* Plural(std::int32_t count)
{
    return count > 1 ? "s" : "";
}

// The time base of the record, as the description names it: "heure locale
// normale" for a port on the computer's zone, as it has always said.
std::string TimeBaseText(const ImportedRecord& r)
{
    if (r.zone.empty())
        return "heure locale normale";
    const std::optional<CalendarTime> utc = UtcClockTime(r.year, 0, 1, 0, 0);
    if (!utc || UtcOffsetOf(r.start) % HOUR_SECONDS == 0)
        return "heure normale de " + r.zone;
    return "UTC" + UtcOffsetText(*utc - r.start);
}

std::string DescriptionOf(const Measurements& m, int zoneMinutes, HeightUnit unit, const PortChoices& port,
                          const ImportedRecord& r)
{
    const MeasurementFacts f = FactsOf(m);
    std::string text =
        Format("Format : %s\nStation : %s\nPremière mesure : %s\nDernière mesure : %s\nValeurs : %s\n"
               "Intervalle : %s\nFuseau horaire : %s%s\nUnité : %s%s\n",
               f.format.c_str(), f.station.c_str(), f.first.c_str(), f.last.c_str(), f.values.c_str(),
               f.interval.c_str(), m.zoneInEachRow ? f.zone.c_str() : ZoneText(zoneMinutes).c_str(),
               m.zoneStated ? "" : " (non indiqué par le fichier)", UnitSymbol(unit),
               m.unitStated ? "" : " (non indiquée par le fichier)");
    if (!port.name.empty() && port.name != m.station)
        text += "Port : " + FirstChars(port.name, PORT_NAME_CHARS) + "\n";
    if (port.from || port.to)
        text += "Période : " + (port.from ? IsoDateTime(*port.from, Clock::Local) : std::string("…")) + " à " +
                (port.to ? IsoDateTime(*port.to, Clock::Local) : std::string("…")) + " (fin exclue)\n";
    if (r.leftOut > 0)
        text += Format("Laissées de côté : %i mesure%s du 31 décembre %i, avant le 1er janvier du port.\n", r.leftOut,
                       Plural(r.leftOut), r.year - 1);
    return text + Format("Relevé horaire : %i jour%s depuis le 1er janvier %i (%s), dont %i heure%s manquante%s.\n",
                         r.days, Plural(r.days), r.year, TimeBaseText(r).c_str(), r.missingHours,
                         Plural(r.missingHours), Plural(r.missingHours));
}

}  // namespace

bool ReadMeasurementFile(const std::string& path, Measurements& out, std::string& message)
{
    const auto tooLarge = [&] {
        message = Format("Le fichier de mesures « %s » dépasse %zu Mo : il n'a pas été lu.", path.c_str(),
                         MAX_MEASUREMENT_FILE_BYTES >> 20);
        return false;
    };
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > MAX_MEASUREMENT_FILE_BYTES)  // refused before a gigabyte is read
        return tooLarge();
    try {
        const std::optional<std::string> bytes = ReadFileBytes(path, MAX_MEASUREMENT_FILE_BYTES, true);
        if (!bytes) {
            message = Format("Le fichier de mesures « %s » ne peut pas être ouvert.", path.c_str());
            return false;
        }
        if (bytes->find('\0') != std::string::npos) {
            message = Format("Le fichier de mesures « %s » n'est pas un texte (il contient des octets nuls) : il "
                             "n'a pas été importé.", path.c_str());
            return false;
        }
        if (bytes->size() > MAX_MEASUREMENT_FILE_BYTES)  // a pipe, whose size was not known
            return tooLarge();
        ImportRefusal refusal;
        if (!ReadMeasurements(*bytes, FileStem(path), out, refusal)) {
            message = RefusalText(path, refusal);
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        out = Measurements{};
        message = Format("La mémoire a manqué pour lire le fichier de mesures « %s ».", path.c_str());
        return false;
    }
}

bool MeasuredRecord(const std::string& path, const Measurements& m, int zoneMinutes, HeightUnit unit,
                    const PortChoices& port, ImportedRecord& out, std::string& message)
{
    if (!UseClockOf(port.zone)) {
        message = "Le fuseau horaire « " + port.zone + " » n'est pas connu du système.";
        return false;
    }
    ImportRefusal refusal;
    const bool made = HourlyRecordOf(m, zoneMinutes, unit, port, out, refusal);
    if (made)
        out.description = DescriptionOf(m, zoneMinutes, unit, port, out);
    UsePortClock();
    if (!made)
        message = RefusalText(path, refusal);
    return made;
}

std::string PortFactsOf(const ImportedRecord& record)
{
    const std::string zone = record.zone;
    UseClockOf(zone);
    std::string facts = "Fuseau du port : " + ClockDescription() + "\n";
    UsePortClock();
    facts += "Zéro des hauteurs : " + (record.datumName.empty() ? std::string("zéro du relevé") : record.datumName);
    if (record.datumOffset)
        facts += " (niveau moyen : " + FrenchDecimal(*record.datumOffset, 2) + " m)";
    return facts + "\n";
}

bool ImportMeasurementFile(const std::string& path, const ImportChoices& choices, ImportedRecord& out,
                           std::string& message)
{
    Measurements m;
    if (!ReadMeasurementFile(path, m, message))
        return false;
    const int zoneMinutes = !m.zoneStated && choices.zoneMinutes ? *choices.zoneMinutes : m.zoneMinutes;
    const HeightUnit unit = (!m.unitStated || m.unitFromHeader) && choices.unit ? *choices.unit : m.unit;
    return MeasuredRecord(path, m, zoneMinutes, unit, choices.port, out, message);
}

void InstallImportedRecord(const ImportedRecord& record)
{
    Header.PortName = record.portLine;
    Header.TimeZone = record.zone;
    Header.DatumName = record.datumName;
    Header.DatumOffset = record.datumOffset;
    UsePortClock();
    MoveTimeOrigin(record.start, record.year);
    InstallRecord(record.days, record.values);
    DetermineMeanLevel(1);
}
