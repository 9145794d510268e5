// The hourly record file (".TXT"): port line, year, number of days, then one
// height in centimetres per hour from 00:00 on 1 January, or "-" for an hour
// that was not measured.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A century of days: more is taken for a damaged day line.
inline constexpr long MAX_RECORD_DAYS = 36525;

// A century of hourly values, with room for blanks around them: a larger
// file is refused unread.
inline constexpr std::size_t MAX_RECORD_FILE_BYTES = std::size_t{32} << 20;

inline constexpr const char* DEFAULT_RECORD_FILE_PATH = "PORT.TXT";

// The line of an hour that was not measured.
inline constexpr const char* MISSING_HOUR_MARK = "-";

// Reads RecordFilePath into the record and the header values, then takes the
// record's mean as the mean level. The port's clock becomes the zone the
// file names (or AssumedPortZone), and the time origin moves to the file's
// year on it, the waves in memory with it (MoveTimeOrigin). A file that cannot be opened
// gives the default series (365 days of zeros from 1 January of StartYear). A
// file that cannot be read as a record is refused with a message and changes
// nothing; one with fewer values than announced keeps them, the hours after
// them missing, and says where the reading stopped. True when the file was
// read as a record.
bool LoadRecordFile();

// What an import did to the record in memory: nothing, or replaced it by one
// of the same port, or of another port, whose waves the model does not hold.
enum class RecordChange { None, SamePort, AnotherPort };

// Whether a record of this port line belongs to another port than the
// waves in memory: there are waves, and the names differ (blanks and the
// line end aside).
bool IsAnotherPort(const std::string& portLine);

// Fichier > "Importer un enregistrement…". For another port's record the
// user is asked first about waves not saved (MaySetWavesAside).
RecordChange ImportRecordFile();

// The record file of these values (cm, or MISSING_HEIGHT_CM), days × 24 of
// them, then portLines (RecordPortLines), with LF line ends.
std::string RecordFileText(const std::string& portLine, std::int32_t year, std::int32_t days,
                           const std::vector<std::int32_t>& values, const std::string& portLines = "");

// What a port says beyond its name, as lines after the last height, where
// the readers of older versions stop: its zone, its datum (its name, and
// the height of the mean level above it) and a coefficient turned off.
// Nothing for a port that says none of it.
//
//   Fuseau horaire : Europe/Amsterdam
//   Zéro des hauteurs : Chart Datum
//   Niveau moyen au-dessus du zéro : 2.780000
//   Coefficient : non
std::string RecordPortLines(const std::string& zone, const std::string& datumName,
                            std::optional<double> datumOffset, bool showCoefficient);

// Fichier > "Enregistrer le relevé sous…": the record in memory, under a
// chosen name, which becomes RecordFilePath; a file that exists is replaced
// only once the user agrees.
void SaveRecordFileAs();

extern std::string RecordFilePath;
