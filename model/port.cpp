#include "model/port.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/text.h"
#include "model/record.h"
#include "model/waves.h"

FileHeaderValues Header;
std::string AssumedPortZone;

namespace {

// The record, hour for hour at the same instants, from 1 January (in the
// time base in force) of the year of its first measured hour, or of the
// next year when less than a day of it is measured.
bool CarryRecordToTimeBase(std::string& why)
{
    const std::vector<std::int32_t>& values = RecordSeries.RecordValues;
    const std::int64_t measured = FirstMeasuredHour();
    const std::int64_t firstHour = measured == RecordSeries.RecordCount ? 0 : measured;
    const CalendarTime firstTime = Header.Time_of_debut + firstHour * HOUR_SECONDS;
    std::int32_t year = 0;
    std::optional<CalendarTime> start = StandardYearStartOf(firstTime, year);
    if (!start) {
        why = "la date du relevé ne peut pas être convertie sur ce fuseau";
        return false;
    }
    // As an import does: less than a day of heights before the next 1 January
    // is left out rather than a year of empty hours put in front.
    const auto last = std::find_if(values.rbegin() + static_cast<std::ptrdiff_t>(values.size()) - RecordSeries.RecordCount,
                                   values.rend(), [](std::int32_t v) { return v != MISSING_HEIGHT_CM; });
    const CalendarTime lastTime = Header.Time_of_debut + (values.rend() - last - 1) * HOUR_SECONDS;
    if (const std::optional<CalendarTime> next = YearStartTime(year + 1);
        next && *next - firstTime < 24 * HOUR_SECONDS && lastTime >= *next) {
        start = next;
        ++year;
    }
    const std::int64_t shiftS = Header.Time_of_debut - *start;
    if (shiftS % HOUR_SECONDS != 0) {
        why = "les heures du relevé en mémoire ne tombent pas sur les heures entières de ce fuseau";
        return false;
    }
    const std::int64_t shift = shiftS / HOUR_SECONDS;
    if (shift != 0) {
        const std::int64_t days = (RecordSeries.RecordCount + shift + 23) / 24;
        std::vector<std::int32_t> carried(static_cast<std::size_t>(days) * 24 + 1, MISSING_HEIGHT_CM);
        for (std::int64_t i = firstHour; i < RecordSeries.RecordCount; ++i)
            if (i + shift >= 0 && i + shift < days * 24)
                carried[static_cast<std::size_t>(i + shift)] = values[static_cast<std::size_t>(i)];
        InstallRecord(static_cast<std::int32_t>(days), std::move(carried));
    }
    MoveTimeOrigin(*start, year);
    return true;
}

}  // namespace

bool SetPortZone(const std::string& zone, std::string& why)
{
    if (!UseClockOf(zone)) {
        why = "le fuseau horaire « " + zone + " » n'est pas connu du système";
        return false;
    }
    if (RecordSeries.Placeholder) {
        if (const std::optional<CalendarTime> start = YearStartTime(Header.StartYear))
            MoveTimeOrigin(*start, Header.StartYear);
    } else if (!CarryRecordToTimeBase(why)) {
        UsePortClock();
        return false;
    }
    Header.TimeZone = zone;
    return true;
}

void UsePortClock()
{
    UseClockOf(Header.TimeZone);
}

double HeightAboveDatum(double height)
{
    return Header.DatumOffset ? height - WaveSet.MeanLevel + *Header.DatumOffset : height;
}

std::string TideShiftProblem(const TideShift& shift)
{
    if (std::abs(shift.minutes) > MAX_OFFSET_MINUTES)
        return Format("un décalage de %d min dépasse les %d h permises", shift.minutes, MAX_OFFSET_MINUTES / 60);
    if (shift.ratio && !(shift.height > 0 && shift.height <= MAX_OFFSET_RATIO))
        return Format("un rapport de hauteurs de %g n'est pas compris entre 0 (exclu) et %g", shift.height,
                      MAX_OFFSET_RATIO);
    if (!shift.ratio && !(std::fabs(shift.height) <= MAX_OFFSET_METRES))
        return Format("un décalage de hauteur de %g m dépasse les %g m permis", shift.height, MAX_OFFSET_METRES);
    return "";
}

double ShiftedHeight(const TideShift& shift, double height)
{
    const double above = HeightAboveDatum(height);
    const double moved = shift.ratio ? above * shift.height : above + shift.height;
    return height + (moved - above);
}

std::string OffsetsNote()
{
    if (!Header.Offsets)
        return "";
    const TideOffsets& o = *Header.Offsets;
    const auto height = [](const TideShift& s) {
        return s.ratio ? Format("x %.2f", s.height) : Format("%+.2f m", s.height);
    };
    const std::string reference = o.reference.empty() ? "du port de référence" : "de " + o.reference;
    return Format("%s : pleines et basses mers %s, décalées de %+d min (PM) et %+d min (BM), hauteurs %s (PM) et %s "
                  "(BM) au-dessus %s",
                  PortName().c_str(), reference.c_str(), o.high.minutes, o.low.minutes, height(o.high).c_str(),
                  height(o.low).c_str(),
                  Header.DatumName.empty() ? "du zéro du relevé" : ("de " + Header.DatumName).c_str());
}

std::string DatumText()
{
    if (Header.DatumName.empty())
        return "zéro du relevé";
    if (!Header.DatumOffset)
        return Header.DatumName;
    return Header.DatumName + " (niveau moyen : " + FrenchDecimal(*Header.DatumOffset, 2) + " m)";
}

std::string HeightsReference()
{
    return (Header.DatumName.empty() ? "au-dessus du " : "au-dessus de ") + DatumText();
}

std::string PortNameOf(const std::string& portLine)
{
    const std::size_t first = portLine.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    return portLine.substr(first, portLine.find_last_not_of(" \t\r\n") - first + 1);
}

std::string PortName()
{
    return PortNameOf(Header.PortName);
}
