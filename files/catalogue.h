// The station catalogue: the published tide constants of the world's ports,
// one FlatBuffers file (identifier "TCDB") read in place, with our own
// schema (catalogue.fbs). It is looked for where HALIOME_CATALOGUE names it,
// otherwise beside the program, in ../share/haliome/neaps.tcdb.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/port.h"
#include "model/published.h"

// A subordinate station's offsets: TideOffsets whose reference is the
// reference station's id.
using StationOffsets = TideOffsets;

struct CatalogueStation {
    std::string id, name, country, countryCode, region, locality;
    std::string timezone;       // IANA name
    double latitude = 0, longitude = 0;
    bool current = false;       // a tidal current station (no heights)
    bool accepted = false;
    std::string chartDatum;     // the datum its tables use: LAT or MLLW
    std::vector<std::pair<std::string, double>> datums;  // m, on the station's own reference
    std::vector<PublishedConstituent> constituents;      // empty for a subordinate station
    std::optional<StationOffsets> offsets;               // a subordinate station's
    std::string source, sourceUrl, licence, licenceUrl, attribution;
    bool commercialUse = true;
};

// Where the catalogue is looked for.
std::string CataloguePath();

// The largest file read as a catalogue: the published one is under 10 MB.
inline constexpr std::size_t MAX_CATALOGUE_BYTES = std::size_t{256} << 20;

// Opens the catalogue once (later calls answer at once); false with the
// message to show when it is not installed or is not a catalogue.
bool OpenCatalogue(std::string& message);

// Opens this file as the catalogue instead, checked the same way.
bool OpenCatalogueFile(const std::string& path, std::string& message);

// Forgets the open catalogue: the next open reads the file again.
void CloseCatalogue();

// With the catalogue open: its stations, sorted by id.
int StationCount();
CatalogueStation StationAt(int index);
std::string StationNameAt(int index);
std::string CatalogueVersion();

// The station of this id, or else the one station whose name is this one
// (any case); nothing when none or several are.
std::optional<int> StationCalled(const std::string& idOrName, std::vector<int>& sameName);

struct StationQuery {
    std::string text;                          // in the id, name, locality, region or country (any case)
    std::string countryCode;                   // ISO 3166 alpha-2, any case
    std::optional<std::pair<double, double>> near;  // latitude, longitude: nearest first
    bool withUnaccepted = false;
};

// The accepted tide stations that answer the query, by name (or by distance).
std::vector<int> FindStations(const StationQuery& query);

// A position as typed: latitude and longitude in degrees, "48.38,-4.49"
// (points), "48,38 ; -4,49" (commas) or "48.38 -4.49"; nothing for another
// text or a point off the globe.
std::optional<std::pair<double, double>> PositionOfText(const std::string& text);

// Great-circle distance in km from the point to the station.
double DistanceKm(double latitude, double longitude, int index);

// The station's datum of this name (m), if it has it.
std::optional<double> DatumOf(const CatalogueStation& station, const std::string& name);
