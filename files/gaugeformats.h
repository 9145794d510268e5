// What a gauge file holds, and the readers of the gauge formats, one file
// each. LooksLike… tells the format from the text; Read… reads the whole
// text or refuses it at a line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/gaugetext.h"

enum class HeightUnit { Metre, Centimetre, Millimetre, Foot };
inline constexpr int HEIGHT_UNIT_COUNT = 4;

// A height the file does not give, or gives with a flag that rejects it.
inline constexpr std::int64_t MISSING_MICRO = INT64_MIN;

struct Measurements {
    std::string format;                // its name, as shown
    std::string station;
    std::vector<std::int64_t> times;    // s since 1970-01-01 00:00 on the file's clock, increasing
    std::vector<std::int64_t> heights;  // millionths of unit, or MISSING_MICRO
    std::int64_t missing = 0;           // heights MISSING_MICRO
    std::int64_t flagged = 0;           // heights kept that the file flags (interpolated, doubtful, …)
    int zoneMinutes = 0;                // the file's clock less UTC
    bool zoneStated = false;            // by the file itself
    bool zoneInEachRow = false;         // each row gave its offset: times are UTC
    HeightUnit unit = HeightUnit::Metre;
    bool unitStated = false;
    bool unitFromHeader = false;        // a header's word: the user's choice still wins
    std::string datum;                  // the zero of the heights, where the file names it
};

// What the import could not read: the line (0 when no line is at fault) and why.
struct ImportRefusal {
    int line = 0;
    std::string reason;
};

bool LooksLikeDia(std::string_view text);
bool ReadDia(std::string_view text, Measurements& m, ImportRefusal& refusal);

bool LooksLikeGesla(std::string_view text);
bool ReadGesla(std::string_view text, Measurements& m, ImportRefusal& refusal);

bool LooksLikeNoaa(std::string_view text);
bool ReadNoaa(std::string_view text, Measurements& m, ImportRefusal& refusal);

bool LooksLikeUhslc(std::string_view text);
bool ReadUhslc(std::string_view text, Measurements& m, ImportRefusal& refusal);

bool LooksLikeMeds(std::string_view text);
bool ReadMeds(std::string_view text, Measurements& m, ImportRefusal& refusal);

bool LooksLikeBom(std::string_view text);
bool ReadBom(std::string_view text, Measurements& m, ImportRefusal& refusal);

bool LooksLikeNoos(std::string_view text);
bool ReadNoos(std::string_view text, Measurements& m, ImportRefusal& refusal);

bool LooksLikeDatedText(std::string_view text);
bool ReadDatedText(std::string_view text, Measurements& m, ImportRefusal& refusal);

// Appends one row; refuses a time that is not after the one before it.
bool AppendMeasurement(Measurements& m, std::int64_t clockSeconds, std::int64_t micro, bool flagged, int line,
                       ImportRefusal& refusal);

// Refuses at line for reason; returns false.
bool RefuseAt(ImportRefusal& refusal, int line, std::string reason);
