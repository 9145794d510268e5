// Fichier > "Ouvrir une station...": a station of the catalogue is found by
// typing part of its name, place or country, and OK makes it the port.
#pragma once

#include <optional>
#include <vector>

#include "platform/platform.h"

// Control identifiers of the dialog: the text searched for, the stations
// found, how many there are, the chosen one's source and licence, and a
// position (latitude ; longitude) that lists the nearest first.
inline constexpr int STATION_SEARCH_ID = 101, STATION_LIST_ID = 102, STATION_COUNT_ID = 103,
                     STATION_LICENCE_ID = 104, STATION_NEAR_ID = 105;
// The comparison's report.
inline constexpr int STATION_REPORT_ID = 106;

// At most this many stations are listed; the count says how many answer.
inline constexpr int STATION_LIST_MAX = 200;

// The command. Without the catalogue, a message says how to install it.
// OK opens the chosen station with its waves of the year in memory
// (MakeStationThePort); Cancel changes nothing.
void OpenStation();

// "Détermination des ondes > Comparer aux constantes publiées...": the
// same dialog chooses a reference station, and the waves determined on the
// record in memory are set beside its published constants
// (StationComparisonText), in a report and in the log. Without a record
// and its waves, or without the catalogue, a message says what is missing.
void CompareWithStation();

extern const DialogTemplate StationTemplate;
extern const DialogTemplate CompareStationTemplate;
extern const DialogTemplate ComparisonReportTemplate;

void StationDialog(Window dialog, DialogEvent event, int id, int notification);

// The choice under way, while the dialog is open.
struct PendingStation {
    bool comparing = false;     // for the comparison: a subordinate station has no constants of its own
    std::vector<int> listed;    // the catalogue's indices of the list's entries
    std::optional<int> chosen;  // set by OK
};

extern PendingStation StationChoice;
