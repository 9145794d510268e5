// The model's options: how the waves of the set make a prediction, whatever
// the window shows. They start at these values at every run and are never
// saved; the menu command "Corrections nodales" and the command line's
// --nodal are the only writers.
#pragma once

struct ModelOptions {
    int NodalCorrections = 0;  // 0/1: "Corrections nodales", the lunar waves carried from their year to each date
};

extern ModelOptions Model;
