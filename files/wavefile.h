// The wave file (".TID"): a whole tide model on disk, Windows-1252 text.
//
//   port line
//   year
//   speed;ampl;etab;name
//   0.0;<mean level>;0.0;Niveau Moyen
//   <period s>;<ampl m>;<etab rad>;<name>      one line per wave
//
// The column headed "speed" holds the period in seconds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"


// Far more than a hundred waves take: a larger file is refused unread.
inline constexpr std::size_t MAX_WAVE_FILE_BYTES = 1 << 20;

// Fichier > "Ouvrir un fichier d'ondes…": asks first about waves not saved
// (MaySetWavesAside); a file that cannot be read leaves the model as it was.
void OpenWaveFile();
// Fichier > "Enregistrer un fichier d'ondes": to WaveFilePath, or, while the
// waves have no file yet, as "Enregistrer un fichier d'ondes sous…" does.
// Fichier > "Enregistrer un fichier d'ondes sous…": under a chosen name,
// which becomes WaveFilePath; a file that exists is replaced only once the
// user agrees. A save that fails leaves the file as it was and says why.
// True when the waves were saved.
bool SaveWaveFile();
bool SaveWaveFileAs();

// Whether the waves in memory (and the mean level) changed since they were
// last opened, saved, or determined by the start-up, which any start gives
// again.
bool HasUnsavedWaves();
void MarkWavesSaved();

// Before what would replace the waves in memory: when they have changed
// since they were saved, asks (a box owned by owner, with this caption)
// whether to save them "before" it ("avant de quitter"): Oui saves them,
// Non goes on without, Annuler stops. True when the action may go on.
bool MaySetWavesAside(Window owner, const char* caption, const char* before);

// Replaces the model and the port line by those of a wave file's bytes.
// While a record read from a file is in memory, the time origin stays its
// start and the waves' phases are turned from the file's year to it, so that
// they predict the same heights at the same dates; otherwise the file's year
// becomes the origin. A file whose port line is too long or whose year cannot
// be read is refused with a message and changes nothing. Wave lines that
// cannot be read or hold a number that is not finite are left out, and the
// message names them. Returns whether the model was replaced.
bool ReadWaveFile(std::string_view bytes);

// The model as a wave file, UTF-8 with LF line ends. Reading it back gives
// the same waves, their numbers rounded as written: six decimals, and
// twelve significant digits for a period below 1 s or from 1e9 s on.
std::string WaveFileText();
// The same as the file's bytes: Windows-1252, CR LF line ends.
std::string WaveFileBytes();

// The wave file of the waves in memory: the one opened or saved last; empty
// while they have none.
extern std::string WaveFilePath;
extern std::uint64_t SavedWavesRevision;  // WaveSet.revision as last opened or saved
