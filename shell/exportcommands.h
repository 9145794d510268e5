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

// The port's tides in span: TidesIn, or for a subordinate station its
// reference's moved and scaled by the published offsets.
std::optional<std::vector<Tide>> PortTidesIn(const TimeSpan& span);

// What the tables of the port say of a station: how a subordinate
// station's were made, and a licence that forbids commercial use; or "".
std::string PortTablesNote();

// TablePages of the port's tides, and for a station what PortTablesNote
// says and the attribution its licence asks at the foot of each page: what
// the window and the command line print.
std::optional<std::vector<TablePage>> PortTablePages(long year, int month);
