// A station of the catalogue as the port: the model that its published
// constants give for a year, and the one place where it becomes the
// program's port.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/catalogue.h"

struct StationModel {
    CatalogueStation station;
    std::optional<CatalogueStation> reference;  // a subordinate station's, whose constants it takes
    std::int32_t year = 0;
    CalendarTime origin = 0;                    // 00:00 on 1 January of year, in the time base of the station's zone
    double meanLevel = 0;                       // m: the mean sea level above the chart datum
    std::string datum;                          // the datum the heights are above: the chart datum, or MSL
    PublishedWaves waves;
};

// The model of the station at index for year; nothing, with the message,
// when its reference cannot be found, it has no constants or the system
// does not know its zone.
std::optional<StationModel> StationModelOf(int index, std::int32_t year, std::string& message);

// The station becomes the port: its name, the coefficient shown for a
// French station only, its zone as the port's clock, its
// datum (the mean level's height above it the model's mean level, so that
// heights stay as the model gives them), a subordinate station's offsets
// (Header.Offsets), its waves and mean level of the model's year (its
// reference's for a subordinate station), with the nodal corrections on
// (its constants describe no particular year). A record in memory keeps
// its time origin, carried to the zone's time base. False, nothing changed
// and why said, when the record cannot be carried there (SetPortZone).
bool MakeStationThePort(const StationModel& model, std::string& why);

// The station the port came from, while it is the port.
const StationModel* CurrentStation();
// The port no longer comes from a station (a wave file or a record of
// another port was read): its attribution goes, and a subordinate station's
// offsets with it.
void ForgetCurrentStation();

// The attribution that the licence of the station the port came from asks
// of what shows its data, with the licence; "" when the port is no station.
std::string StationAttribution();

// The waves in memory, fitted on the record, beside the published constants
// of the station at index for the record's year: for each constituent both
// amplitudes and Greenwich phase lags g, the length of their difference as
// vectors, then the RMS of the two predictions over the record's hours.
// Nothing, with the message, when the station gives no model.
std::optional<std::string> StationComparisonText(int index, std::string& message);
