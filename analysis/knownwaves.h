// The catalogue of known waves and the commands that determine them.
#pragma once

struct KnownWave {
    double periodHours;
    const char* label;  // becomes the wave's name
};

inline constexpr int KNOWN_WAVE_COUNT = 37;
inline constexpr int MENU_WAVE_COUNT = 5;
inline constexpr int SHALLOW_WAVE_COUNT = 22;

extern const KnownWave KnownWaves[KNOWN_WAVE_COUNT];
extern const int MenuWaveOrder[MENU_WAVE_COUNT];    // the waves of the menu entries, in menu order
extern const int KnownWaveOrder[KNOWN_WAVE_COUNT];  // every catalogue index once, in the order of use
// Compound waves of shallow water that the catalogue lacks, in the order of use.
extern const KnownWave ShallowWaterWaves[SHALLOW_WAVE_COUNT];

// Determine the catalogue wave of this row of MenuWaveOrder / KnownWaveOrder,
// append it under its label and write its block to the log. Return its
// amplitude (m); when the table is full or the record too short, the user is
// told and nothing is appended (0 is returned).
double AddMenuWave(int row);
double AddKnownWave(int row);
// The same for a row of ShallowWaterWaves.
double AddShallowWaterWave(int row);

// The waves that "Ondes listées", "Toutes ondes connues." and "Ondes de
// petits fonds." determine, row by row.
enum class Catalogue { Listed, Known, Shallow };
int CatalogueRows(Catalogue catalogue);
const KnownWave& CatalogueWave(Catalogue catalogue, int row);

// Whether the wave set holds a wave of this one's period (within a millionth).
bool IsHeld(const KnownWave& known);

// When the wave set holds some of the catalogue's waves already, asks (owned
// by the main window, with this caption) whether to determine them a second
// time. True when it holds none or the user answers Oui.
bool DetermineHeldWavesAgain(Catalogue catalogue, const char* caption);

// "Toutes ondes connues": every catalogue wave in KnownWaveOrder, stopping at
// the first refusal; unless again, those the set holds already are left out.
// It is long work: stopped by the user, it keeps the waves already appended
// and says in the log how many.
void AddAllKnownWaves(bool again = true);

// "Ondes de petits fonds.": every shallow-water wave in order, stopping at
// the first refusal; unless again, those the set holds already are left out.
void AddAllShallowWaterWaves(bool again = true);
