// The hourly record: observed heights, one per hour from 00:00 on 1 January
// of StartYear, and the header values shared by the record and wave files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/localtime.h"

struct HourlyRecord {
    std::int32_t RecordDays = 365;
    std::int32_t RecordCount = 8760;  // always 24 × RecordDays
    // cm; value i is the height at hour i. Always RecordCount + 1 entries:
    // the spare one after the last value repeats it, so that interpolating
    // at (or just after) the last hour stays flat.
    std::vector<std::int32_t> RecordValues = std::vector<std::int32_t>(8761, 0);
    // Changes at every InstallRecord and never comes back to an earlier value,
    // so that what is computed from a record can tell it is still current.
    std::uint64_t RecordRevision = 0;
};

// The port line of every file holds at most this many characters.
inline constexpr std::size_t PORT_NAME_CHARS = 99;

// Whichever of the record file and the wave file was read last sets these.
struct FileHeaderValues {
    std::string PortName = "Brest";  // first line of the file as read, line end included (LF, never CR)
    std::int32_t StartYear = 1996;
    CalendarTime Time_of_debut = 0;  // s: 00:00:00 local standard time on 1 January of StartYear
};

// Installs a series; the spare entry is set from the last value.
void InstallRecord(std::int32_t days, std::vector<std::int32_t> values);

// m at model time t (s), interpolated linearly between the whole hours
// around t. Outside the record it is the nearest stored value.
double ObservedHeight(double t);

// m: the record or the prediction, as Options.SourceMode says.
double SourceHeight(double t, int first);

extern HourlyRecord RecordSeries;
extern FileHeaderValues Header;
