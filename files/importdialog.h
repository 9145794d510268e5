// Fichier > "Importer des mesures...": a gauge file is chosen, what it holds
// is shown, and OK makes its hourly record the one in memory.
#pragma once

#include <string>

#include "files/measurements.h"
#include "files/recordfile.h"
#include "platform/platform.h"

// Control identifiers of the import dialog.
inline constexpr int IMPORT_FORMAT_ID = 101, IMPORT_STATION_ID = 102, IMPORT_FIRST_ID = 103, IMPORT_LAST_ID = 104,
                     IMPORT_VALUES_ID = 105, IMPORT_INTERVAL_ID = 106, IMPORT_ZONE_ID = 107, IMPORT_UNIT_ID = 108;
// The port the record makes: its name, its zone (IANA name, with the
// system's zones to choose from), its datum and the period kept.
inline constexpr int IMPORT_PORT_NAME_ID = 109, IMPORT_PORT_ZONE_ID = 110, IMPORT_DATUM_ID = 111,
                     IMPORT_DATUM_OFFSET_ID = 112, IMPORT_FROM_ID = 113, IMPORT_TO_ID = 114;
// The hourly record the file gives in the zone and unit shown first.
inline constexpr int IMPORT_RECORD_ID = 115;

// The command. A file that cannot be read is refused with a message naming
// it and the line, and a log line; Annuler in the dialog changes nothing.
// Another station's record is taken only once the user has been asked
// about waves not saved (MaySetWavesAside).
RecordChange ImportMeasurements();

// The dialog's template: the zone is an edit field and the unit a list
// where the file does not state them, plain texts where it does.
DialogTemplate ImportTemplate(bool zoneEditable, bool unitEditable);

void ImportDialog(Window dialog, DialogEvent event, int id, int notification);

// The import under way, while its dialog is open.
struct PendingImport {
    std::string path;
    Measurements measurements;
    ImportedRecord record;  // set by OK
    bool accepted = false;
    bool anotherPort = false;  // the record is another port's than the waves'
};

extern PendingImport Import;
