// A strict reader of iCalendar files (RFC 5545), written for the tests: it
// refuses what calendar programs might tolerate, and reads back the values.
#pragma once

#include <map>
#include <string>
#include <vector>

// The properties of a component: each name with its values, unescaped, in
// the order met.
using Properties = std::map<std::string, std::vector<std::string>>;

struct ICalendar {
    Properties calendar;
    std::vector<Properties> events;
    std::vector<std::string> faults;  // empty when the file is sound
};

// Checks: CR LF after every line and nowhere else, valid UTF-8, no line
// over 75 octets, continuation lines, the content-line grammar, components
// opened and closed in order (one VCALENDAR holding VEVENTs), VERSION:2.0
// and PRODID once, UID, DTSTAMP and DTSTART once in each event with UTC
// date-times, unique UIDs, and TEXT values whose commas, semicolons and
// backslashes are escaped.
ICalendar ReadICalendar(const std::string& bytes);
