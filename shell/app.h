// The program: start-up, the main window and its message loop.
#pragma once

// Runs the whole program: opens the log, creates the main window, runs the
// start-up determination on "PORT.TXT" in the working directory, then the
// message loop until the window is destroyed, and closes the log. Returns
// the process exit status.
int RunProgram();

// The main window's title.
inline constexpr const char* MAIN_WINDOW_TITLE =
    "Haliome. Prédiction et étude de la marée d'un port, par l'équipe Haliome";

extern int ModelReady;  // 1 once the start-up determination has run; the chart draws curves only then
