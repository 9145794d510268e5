// Fichier > "Ouvrir une station...": a station of the catalogue is found by
// typing part of its name, place or country, and OK makes it the port.
#pragma once

#include <optional>
#include <vector>

#include "platform/platform.h"

// Control identifiers of the dialog: the text searched for, the stations
// found, how many there are, and the chosen one's source and licence.
inline constexpr int STATION_SEARCH_ID = 101, STATION_LIST_ID = 102, STATION_COUNT_ID = 103,
                     STATION_LICENCE_ID = 104;

// At most this many stations are listed; the count says how many answer.
inline constexpr int STATION_LIST_MAX = 200;

// The command. Without the catalogue, a message says how to install it.
// OK opens the chosen station with its waves of the year in memory
// (MakeStationThePort); Cancel changes nothing.
void OpenStation();

extern const DialogTemplate StationTemplate;

void StationDialog(Window dialog, DialogEvent event, int id, int notification);

// The choice under way, while the dialog is open.
struct PendingStation {
    std::vector<int> listed;    // the catalogue's indices of the list's entries
    std::optional<int> chosen;  // set by OK
};

extern PendingStation StationChoice;
