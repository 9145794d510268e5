// The wave manager and its add and edit dialogs: the user lists the waves,
// adds one (from the catalogue or by period, fitted to the record), edits
// one by hand, or deletes one. Every change goes straight into the model.
#pragma once

#include "platform/platform.h"

// "Gestionnaire d'onde": runs the manager modally, then repaints the main
// window so that the chart shows the edited model.
void ShowWaveManager();

void WaveManagerDialog(Window dialog, DialogEvent event, int id, int notification);
void AddWaveDialog(Window dialog, DialogEvent event, int id, int notification);
void EditWaveDialog(Window dialog, DialogEvent event, int id, int notification);

extern const DialogTemplate WaveManagerTemplate;  // dialog 104
extern const DialogTemplate AddWaveTemplate;      // dialog 101
extern const DialogTemplate EditWaveTemplate;     // dialog 103

// A period of exactly 0 h typed in the edit dialog stores this speed (rad/s).
inline constexpr double ZERO_PERIOD_SPEED = 1e28;

// Text fields hold at most this many characters.
inline constexpr int FIELD_CHARS = 98;

extern int EditedWave;  // index of the wave the edit dialog shows and changes
