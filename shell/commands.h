// The menu commands of the main window.
#pragma once

// Runs one menu command; identifiers that are not commands do nothing.
void OnCommand(int command);

// "Ondes listées": the five menu waves, one after the other; a refusal (full
// table) is shown once and stops them.
void DetermineListedWaves();

// What "Sommaire" and "A Propos de ..." show.
extern const char* const HELP_TEXT;
extern const char* const ABOUT_TEXT;
