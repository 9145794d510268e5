// The port's tide between its high and low waters. A port with its own
// waves has the height they predict; a secondary port has only its high and
// low waters, moved from its reference's, and between two of them the
// tables' usual curve: half a period of a cosine from one to the next.
#pragma once

// m above the record's zero, at model time t (s from Time_of_debut):
// PredictHeight(t, 0), or for a secondary port (Header.Offsets) the cosine
// between the tides before and after t of its tables (ScanMonth). Where the
// curve has no tide on one side, the height the waves predict.
double PortHeight(double t);

// The same for a secondary port without its kept tides: the scan of the
// days around t each time, the definition that PortHeight is checked against.
double PortHeightDirect(double t);
