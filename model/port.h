// The port: its name and the time origin its record and its waves refer to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/calendar.h"

// The port line of every file holds at most this many characters.
inline constexpr std::size_t PORT_NAME_CHARS = 99;

// Whichever of the record file and the wave file was read last sets these.
struct FileHeaderValues {
    std::string PortName = "Brest";  // first line of the file as read, line end included (LF, never CR)
    std::int32_t StartYear = 1996;
    CalendarTime Time_of_debut = 0;  // s: 00:00:00 local standard time on 1 January of StartYear
};

extern FileHeaderValues Header;

// The port's name in a port line: without its line end and the blanks
// around it.
std::string PortNameOf(const std::string& portLine);
// The port as the header names it: PortNameOf(Header.PortName).
std::string PortName();
