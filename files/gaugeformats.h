// The readers of the gauge formats, one file each. LooksLike… tells the
// format from the text; Read… reads the whole text or refuses it at a line.
#pragma once

#include <string>
#include <string_view>

#include "files/gaugetext.h"
#include "files/measurements.h"

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

bool LooksLikeDatedText(std::string_view text);
bool ReadDatedText(std::string_view text, Measurements& m, ImportRefusal& refusal);

// Appends one row; refuses a time that is not after the one before it.
bool AppendMeasurement(Measurements& m, std::int64_t clockSeconds, std::int64_t micro, bool flagged, int line,
                       ImportRefusal& refusal);

// Refuses at line for reason; returns false.
bool RefuseAt(ImportRefusal& refusal, int line, std::string reason);
