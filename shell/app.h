// The program: start-up, the main window and its message loop.
#pragma once

// Runs the whole program: StartProgram, the message loop until the main
// window is destroyed, FinishProgram. Returns the process exit status.
int RunProgram();

// Opens the log, creates and shows the main window, and runs the start-up
// determination on "PORT.TXT" in the working directory, ending with the
// five listed waves; without that file, the chart says how to begin. False
// when the window cannot be created.
bool StartProgram();
// The default waves, the record of RecordFilePath and its mean level; the
// five listed waves follow (DetermineListedWaves). True when the file was
// read as a record; otherwise the default series stands in for it.
bool DetermineStartModel();
// Closes the log.
void FinishProgram();

// The main window's title.
inline constexpr const char* MAIN_WINDOW_TITLE =
    "Haliome. Prédiction et étude de la marée d'un port, par l'équipe Haliome";
