// Start of the Qt backend, for the desktop program's main. No Qt header here:
// the program includes it.
#pragma once

// Creates the application object from the command line (Qt's own options
// such as -platform are taken out of argv), loads Qt's French texts (the
// Yes/No buttons read "Oui"/"Non") and pins LC_NUMERIC to "C", which Qt has
// just set from the desktop's locale. Call it first in main, before any
// other platform call; argc and argv must outlive the program's run. A
// second call does nothing.
void StartQtPlatform(int& argc, char** argv);
