// The period-range dialog: the band of periods (hours) that the period scan
// sweeps.
#pragma once

#include "platform/platform.h"

// Runs the dialog modally, owned by the main window. "OK" stores the bounds
// typed into Options.PeriodMin and Options.PeriodMax; "Annuler" keeps them.
void RunPeriodRangeDialog();

void PeriodRangeDialog(Window dialog, DialogEvent event, int id, int notification);

extern const DialogTemplate PeriodRangeTemplate;  // dialog 105
