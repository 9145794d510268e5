// Fichier > "Exporter": the tides of a month or a year as CSV, as calendar
// events and as printable tables, the wave set as CSV, and the chart as a
// picture. Each asks for its file with a save dialog; a failure is reported
// where it happens, and what was written goes to the log.
#pragma once

#include <optional>
#include <vector>

#include "exports/pages.h"

void ExportTidesCsv();       // "Horaires de marées (CSV)…"
void ExportTidesCalendar();  // "Calendrier (iCalendar)…"
void ExportTablesPdf();      // "Annuaire des marées (PDF)…"
void ExportWavesCsv();       // "Ondes (CSV)…"
void ExportChartPicture();   // "Graphique (PNG ou SVG)…": the format by the name's extension

// What the tables of the port say of it besides the tides: how a secondary
// port's were made (OffsetsNote), and a station's licence that forbids
// commercial use; or "".
std::string PortTablesNote();

// TablePages of the port's tides, and for a station a licence that forbids
// commercial use and the attribution its licence asks at the foot of each
// page: what the window and the command line print.
std::optional<std::vector<TablePage>> PortTablePages(long year, int month);
