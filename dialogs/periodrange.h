// The period-range dialog: the band of periods (hours) that the period scan
// sweeps.
#pragma once

#include "platform/platform.h"

// A sweep goes through the record once per period it fits, so its length
// grows with the fit count times the record's hours; each fit counts for at
// least a month of record, for what it costs besides (drawing its point,
// looking for the peak). Above the first bound the user is asked before the
// band is taken; above the second it is refused. With fits of about a
// microsecond per year of record, they are some ten seconds and two minutes.
inline constexpr double SWEEP_CONFIRM_FIT_HOURS = 1e11;
inline constexpr double SWEEP_REFUSE_FIT_HOURS = 1e12;
inline constexpr int SWEEP_MIN_HOURS_PER_FIT = 720;

// Runs the dialog modally, owned by the main window; its fields open on the
// band of Options.PeriodMin and Options.PeriodMax. "OK" stores the bounds
// typed there, keeps them for the next runs and answers true; "Annuler"
// keeps the band and answers false. A field that is not a number, a band
// that cannot be swept or would take too long is refused, and one that
// would take long is taken only once the user agrees; the messages show what
// was typed, and the dialog then stays open.
bool RunPeriodRangeDialog();

// The band the dialog kept in a run before, if any, becomes the band.
void RestoreKeptBand();

void PeriodRangeDialog(Window dialog, DialogEvent event, int id, int notification);

extern const DialogTemplate PeriodRangeTemplate;  // dialog 105
