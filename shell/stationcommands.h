// The command line's station commands: `stations` lists the catalogue's
// stations, `station` writes one as a wave file, and `--station` gives the
// port of `tides`, `predict` and `pdf` instead of a wave file.
//
//   stations [QUERY] [--near LAT,LON] [--country CC] [--format text|json] [--all]
//   station ID|NAME -o WAVES.TID [--year YEAR]
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "exports/tides.h"

namespace CLI {
class App;
}

struct StationArguments {
    std::string query;
    std::string near;     // "LAT,LON"
    std::string country;  // ISO 3166 alpha-2
    std::string format = "text";
    std::string output;
    bool all = false;     // with the stations the catalogue does not accept
    int year = 0;
};

void DescribeStationCommands(CLI::App& app, StationArguments& args);

// The status of the station command the line named (0 done, 1 failed, 2 bad
// usage), or nothing when it named another.
std::optional<int> RunStationCommand(const CLI::App& app, const StationArguments& args, std::ostream& out,
                                     std::ostream& errors);

// The station (id or unique name) becomes the port for year; false when it
// cannot, said on errors.
bool LoadStationPort(const std::string& idOrName, std::int32_t year, std::ostream& errors);

// Whether the catalogue opens and names the station (id or unique name);
// false, said on errors, when not.
bool StationKnownOrSay(const std::string& idOrName, std::ostream& errors);

// After a fit: each fitted wave beside the station's published constituent
// of the same line, amplitude H and Greenwich phase lag g of both and the
// length of their difference as vectors; then the RMS of the difference of
// the two predictions over the record's hours. The status as above.
int CompareWithStation(const std::string& idOrName, std::ostream& out, std::ostream& errors);
