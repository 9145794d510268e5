// The hourly record: observed heights, one per hour from 00:00 on 1 January
// of the port's StartYear (model/port.h).
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

// What an hour that was not measured holds in RecordValues. Every analysis
// leaves such hours out, and the chart leaves a gap there.
inline constexpr std::int32_t MISSING_HEIGHT_CM = std::numeric_limits<std::int32_t>::min();

struct HourlyRecord {
    std::int32_t RecordDays = 365;
    std::int32_t RecordCount = 8760;  // always 24 × RecordDays
    // cm, or MISSING_HEIGHT_CM; value i is the height at hour i. Always
    // RecordCount + 1 entries: the spare one after the last value repeats it,
    // so that interpolating at (or just after) the last hour stays flat.
    std::vector<std::int32_t> RecordValues = std::vector<std::int32_t>(8761, 0);
    std::int32_t MissingHours = 0;  // of the RecordCount hours
    // The default series of zeros stands in while no record was read: its
    // hours belong to no date, so a wave file may move the time origin.
    bool Placeholder = true;
    // Changes at every InstallRecord and never comes back to an earlier value,
    // so that what is computed from a record can tell it is still current.
    std::uint64_t RecordRevision = 0;
};

// Installs a series read from a file or built from one; the spare entry is
// set from the last value.
void InstallRecord(std::int32_t days, std::vector<std::int32_t> values);

// m at model time t (s), interpolated linearly between the whole hours
// around t. Outside the record it is the nearest stored value. NaN where an
// hour that enters with a weight was not measured.
double ObservedHeight(double t);

// The first measured hour of the record; RecordCount when none was.
std::int64_t FirstMeasuredHour();

// How many of the hours 0 … end − 1 of the record were measured.
std::int64_t MeasuredHoursBefore(std::int64_t end);

// The fits leave out the last two days of the record: times t with
// t < UsableSpan() (s).
double UsableSpan();

extern HourlyRecord RecordSeries;
