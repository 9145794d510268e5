// The hourly record file (".TXT"): port line, year, number of days, then one
// height in centimetres per hour from 00:00 on 1 January.
#pragma once

#include <cstddef>
#include <string>

// A century of days: more is taken for a damaged day line.
inline constexpr long MAX_RECORD_DAYS = 36525;

// A century of hourly values, with room for blanks around them: a larger
// file is refused unread.
inline constexpr std::size_t MAX_RECORD_FILE_BYTES = std::size_t{32} << 20;

inline constexpr const char* DEFAULT_RECORD_FILE_PATH = "PORT.TXT";

// Reads RecordFilePath into the record and the header values, then takes the
// record's mean as the mean level. A file that cannot be opened gives the
// default series (365 days of zeros from 1 January of StartYear). A file that
// cannot be read as a record is refused with a message and changes nothing;
// one with fewer values than announced keeps them and says where the reading
// stopped and what was filled. True when the file was read as a record.
bool LoadRecordFile();

// Fichier > "Importer un enregistrement".
void ImportRecordFile();

extern std::string RecordFilePath;
