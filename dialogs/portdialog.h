// Options > "Port...": the port's name, its time zone, the datum of its
// heights and whether its tables give the tide coefficient.
#pragma once

#include "platform/platform.h"

// Control identifiers of the port dialog.
inline constexpr int PORT_NAME_ID = 101, PORT_ZONE_ID = 102, PORT_DATUM_ID = 103, PORT_DATUM_OFFSET_ID = 104,
                     PORT_COEFFICIENT_ID = 105;

extern const DialogTemplate PortTemplate;

// Runs the dialog modally, owned by the main window. OK applies what it
// holds to the port in memory (a save writes it): the zone changes the clock
// of every output, not the model's instants (SetPortZone). A zone the
// system does not know, an offset that is not a number of metres (a decimal
// point or comma), an offset without a datum's name or a name too long for
// a port line is refused with a message naming the field, and the dialog
// stays open. Cancel changes nothing.
void RunPortDialog();

void PortDialog(Window dialog, DialogEvent event, int id, int notification);
