// The menu commands of the main window.
#pragma once

// Runs one menu command; identifiers that are not commands do nothing.
void OnCommand(int command);

#include <optional>
#include <string>

// "Ondes listées": the five menu waves, one after the other; a refusal (full
// table) is shown once and stops them. Unless again, those the wave set
// holds already are left out.
void DetermineListedWaves(bool again = true);

// "Quitter" and the close box: true when the program may end, the user
// asked first about waves not saved.
bool MayCloseProgram();

// The example port's record: installed beside the program, or in the source
// tree it was built from; nothing when neither holds it.
std::optional<std::string> ExamplePortFile();

// What "Sommaire" and "À propos de…" show.
extern const char* const HELP_TEXT;
extern const char* const ABOUT_TEXT;
