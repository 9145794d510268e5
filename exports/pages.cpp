#include "exports/pages.h"

#include <algorithm>
#include <cstdlib>

#include "base/calendar.h"
#include "base/text.h"
#include "exports/formats.h"
#include "exports/tides.h"
#include "model/modeloptions.h"
#include "model/port.h"
#include "model/waves.h"
#include "tables/tidetimes.h"

const char* const PREDICTION_NOTE =
    "Hauteurs prédites par le modèle harmonique : elles ne tiennent pas compte de la météo "
    "(vent, pression atmosphérique, surcotes).";

namespace {

// ---- The clock of the month ------------------------------------------------------

struct ClockSpell {
    int firstDay = 1;
    int lastDay = 1;
    std::tm noon{};  // on the first day of the spell
};

// Summer time is the clock ahead of the year's standard time, whatever the
// zone's data calls it (Ireland's winter time is written as a negative one).
std::string ClockName(const std::tm& local, std::optional<long> standardOffset)
{
    const long minutes = std::labs(local.tm_gmtoff) / 60;
    const bool summer = standardOffset ? local.tm_gmtoff > *standardOffset : local.tm_isdst > 0;
    return Format("%s (UTC%c%02li:%02li), heure d'été %s", local.tm_zone, local.tm_gmtoff < 0 ? '-' : '+',
                  minutes / 60, minutes % 60, summer ? "appliquée" : "non appliquée");
}

std::string DayOfMonthText(int day)
{
    return day == 1 ? "1er" : Format("%i", day);
}

// The days of the month grouped by the clock in force at noon.
std::string ClockNote(long year, int month, int lastDay)
{
    std::vector<ClockSpell> spells;
    for (int day = 1; day <= lastDay; ++day) {
        std::optional<CalendarTime> noon = LocalClockTime(year, month, day, 12, 0);
        if (!noon)
            continue;
        const std::tm local = LocalTimeOf(*noon);
        if (spells.empty() || spells.back().noon.tm_gmtoff != local.tm_gmtoff)
            spells.push_back(ClockSpell{day, day, local});
        spells.back().lastDay = day;
    }
    std::string note = "Heures légales (" + ClockDescription() + ") et hauteurs en mètres " + HeightsReference();
    for (std::size_t i = 0; i < spells.size(); ++i) {
        note += i ? " ; " : " : ";
        if (spells.size() > 1 && spells[i].firstDay == spells[i].lastDay)
            note += "le " + DayOfMonthText(spells[i].firstDay) + ", ";
        else if (spells.size() > 1)
            note += Format("du %s au %i, ", DayOfMonthText(spells[i].firstDay).c_str(), spells[i].lastDay);
        note += ClockName(spells[i].noon, StandardUtcOffset(year));
    }
    return note + ".";
}

// ---- The table -------------------------------------------------------------------

struct DayTides {
    std::vector<Tide> highs, lows;
};

std::vector<DayTides> ByDay(const std::vector<Tide>& tides, int lastDay)
{
    std::vector<DayTides> days(static_cast<std::size_t>(lastDay) + 1);
    for (const Tide& tide : tides) {
        DayTides& day = days[static_cast<std::size_t>(LocalTimeOf(tide.time).tm_mday)];
        (tide.high ? day.highs : day.lows).push_back(tide);
    }
    return days;
}

std::string ClockTime(const Tide& tide)
{
    const std::tm local = LocalTimeOf(tide.time);
    return Format("%02i:%02i", local.tm_hour, local.tm_min);
}

// A day of a semi-diurnal tide has at most two of each; a model with strong
// overtides may have more, and the page then has more columns.
void PutSlots(TableRow& row, const std::vector<Tide>& tides, std::size_t slots, bool withCoefficient)
{
    for (std::size_t i = 0; i < slots; ++i) {
        const bool has = i < tides.size();
        row.cells.push_back(has ? ClockTime(tides[i]) : "");
        row.cells.push_back(has ? FrenchDecimal(tides[i].height, 2) : "");
        if (withCoefficient)
            row.cells.push_back(has ? Format("%i", tides[i].coefficient) : "");
    }
}

void AddColumns(TablePage& page, const char* heading, std::size_t slots, bool withCoefficient)
{
    page.groups.push_back(ColumnGroup{heading, static_cast<int>(slots) * (withCoefficient ? 3 : 2)});
    for (std::size_t i = 0; i < slots; ++i) {
        page.heads.insert(page.heads.end(), {"heure", "haut."});
        if (withCoefficient)
            page.heads.push_back("coef.");
    }
}

// The waves' port: a secondary port's are its reference's.
std::string ModelNote()
{
    const std::string port =
        Header.Offsets && !Header.Offsets->reference.empty() ? Header.Offsets->reference : PortName();
    return Format("Ondes de l'année %i%s : niveau moyen %s m et %i onde%s ; corrections nodales : %s.",
                  Header.StartYear, port.empty() ? "" : (", " + port).c_str(),
                  FrenchDecimal(WaveSet.MeanLevel, 2).c_str(), WaveSet.count, WaveSet.count > 1 ? "s" : "",
                  Model.NodalCorrections ? "oui" : "non");
}

std::optional<TablePage> MonthPage(long year, int month)
{
    std::optional<MonthBounds> bounds = MonthBoundsOf(year, month);
    std::optional<TimeSpan> span = SpanOf(year, month);
    std::optional<std::vector<Tide>> tides = span ? TidesIn(*span) : std::nullopt;
    if (!bounds || !tides)
        return std::nullopt;
    const std::vector<DayTides> days = ByDay(*tides, bounds->lastDay);
    std::size_t highSlots = 2, lowSlots = 2;
    for (const DayTides& day : days) {
        highSlots = std::max(highSlots, day.highs.size());
        lowSlots = std::max(lowSlots, day.lows.size());
    }
    TablePage page;
    const std::string port = PortName();
    page.title = (port.empty() ? "" : port + " — ") + MonthName(month) + Format(" %li", year);
    page.notes.push_back(ClockNote(year, month, bounds->lastDay));
    page.groups.push_back(ColumnGroup{"", 1});
    page.heads.push_back("jour");
    AddColumns(page, "Pleines mers", highSlots, Header.ShowCoefficient);
    AddColumns(page, "Basses mers", lowSlots, false);
    for (int day = 1; day <= bounds->lastDay; ++day) {
        const int weekday = WeekdayOfDays(DaysFromCivil(year, month + 1, day));
        TableRow row{{DayName(weekday) + Format(" %i", day)}, weekday == 0};
        PutSlots(row, days[static_cast<std::size_t>(day)].highs, highSlots, Header.ShowCoefficient);
        PutSlots(row, days[static_cast<std::size_t>(day)].lows, lowSlots, false);
        page.rows.push_back(std::move(row));
    }
    page.footer = {ModelNote(), PREDICTION_NOTE};
    if (Header.Offsets)
        page.footer.push_back(OffsetsNote());
    return page;
}

}  // namespace

std::optional<std::vector<TablePage>> TablePages(long year, int month)
{
    std::vector<TablePage> pages;
    const int first = month == WHOLE_YEAR ? 0 : month;
    const int last = month == WHOLE_YEAR ? 11 : month;
    for (int m = first; m <= last; ++m) {
        std::optional<TablePage> page = MonthPage(year, m);
        if (!page)
            return std::nullopt;
        pages.push_back(std::move(*page));
    }
    return pages;
}
