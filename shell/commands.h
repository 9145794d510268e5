// The menu commands of the main window.
#pragma once

// Runs one menu command; identifiers that are not commands do nothing.
void OnCommand(int command);

// What "Sommaire" and "A Propos de ..." show.
extern const char* const HELP_TEXT;
extern const char* const ABOUT_TEXT;
