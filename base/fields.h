// Numbers as the user types them into the fields of a dialog: in this French
// window a decimal comma, and the dot that the program's own files use.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

// A decimal number as typed: blanks around it, an optional sign, digits
// with at most one separator, a comma or a dot ("12,420601", "12.420601",
// "-,5"), and an optional exponent ("1e-6"). Nothing for anything else: an
// empty field, a letter, two separators, "inf". Too large a number gives an
// infinity, which the caller refuses as it sees fit.
std::optional<double> ParseTypedNumber(std::string_view text);

// A finite number as typed (ParseTypedNumber); also how a port's datum
// offset is read, from a field, an option or a file.
std::optional<double> DecimalOf(std::string_view text);

// A whole number as typed: blanks around it, an optional sign, digits.
std::optional<long> ParseTypedWhole(std::string_view text);

// The number typed in field id of the dialog. When it is not one, a box
// owned by the dialog names the field, shows what was typed and an example
// (example: "12,420601"), and nothing is returned.
std::optional<double> TypedNumberOrRefuse(Window dialog, int id, const char* field, const char* example,
                                          const char* caption);
