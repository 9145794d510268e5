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

#include <string>
#include <string_view>

inline constexpr const char* DEFAULT_WAVE_FILE_PATH = "PORT.TID";

// Fichier > "Ouvrir un fichier d'ondes", "Enregistrer un fichier d'ondes",
// "Enregistrer un fichier d'ondes sous...".
void OpenWaveFile();
void SaveWaveFile();
void SaveWaveFileAs();

// Replaces the model, the port line and the year by those of a wave file's
// bytes. A file whose year cannot be read is refused with a message and
// changes nothing. Returns whether the model was replaced.
bool ReadWaveFile(std::string_view bytes);

// The model as a wave file, UTF-8 with LF line ends.
std::string WaveFileText();
// The same as the file's bytes: Windows-1252, CR LF line ends.
std::string WaveFileBytes();

extern std::string WaveFilePath;
