// The main window's menu, as data, and its command identifiers.
#pragma once

#include "platform/platform.h"

enum Command : int {
    CMD_QUIT = 257,
    CMD_OPEN_WAVES = 258,
    CMD_SAVE_WAVES = 259,
    CMD_SAVE_WAVES_AS = 260,
    CMD_IMPORT_RECORD = 261,
    CMD_HOURLY_INTERPOLATION = 262,  // greyed: never runs
    CMD_IMPORT_MEASUREMENTS = 263,
    CMD_SAVE_RECORD_AS = 264,
    CMD_OPEN_STATION = 265,
    CMD_EXAMPLE_PORT = 266,
    CMD_EXPORT_TIDES_CSV = 270,
    CMD_EXPORT_CALENDAR = 271,
    CMD_EXPORT_TABLES_PDF = 272,
    CMD_EXPORT_WAVES_CSV = 273,
    CMD_EXPORT_CHART = 274,
    CMD_ONE_DAY_CHART = 513,
    CMD_PREDICTED_CHART = 514,
    CMD_SOURCE_CHART = 515,
    CMD_ALL_CHART = 516,
    CMD_NEXT_YEAR = 518,
    CMD_PREVIOUS_YEAR = 519,
    CMD_TIDE_TIMES = 528,
    CMD_MENU_WAVE_FIRST = 769,  // to 773, rows of the menu waves
    CMD_MENU_WAVE_LAST = 773,
    CMD_MEAN_LEVEL = 774,
    CMD_RESET_WAVES = 775,
    CMD_WAVE_MANAGER = 784,
    CMD_LISTED_WAVES = 800,
    CMD_ALL_KNOWN_WAVES = 801,
    CMD_SHALLOW_WATER_WAVES = 802,
    CMD_COMPARE_STATION = 803,
    CMD_HARMONIC_ANALYSIS = 804,
    CMD_BAND_11H45_13H = 1025,
    CMD_BAND_23H_25H = 1026,
    CMD_BAND_5H_37H = 1027,
    CMD_BAND_3H_50H = 1028,
    CMD_BAND_DIALOG = 1029,
    CMD_FFT = 1040,
    CMD_SOURCE_FIRST = 1281,  // to 1285, the source modes 0 to 4
    CMD_SOURCE_LAST = 1285,
    CMD_TIME_AXIS = 1297,
    CMD_HEIGHT_AXIS = 1298,
    CMD_TIMES_OF_TIDE = 1299,
    CMD_FOURIER = 1300,
    CMD_NODAL_CORRECTIONS = 1301,
    CMD_PORT = 1302,
    CMD_VERBOSE_FFT = 1313,
    CMD_CONVERTER = 1537,
    CMD_HELP = 2306,
    CMD_ABOUT = 2313,
};

// "&Fichier", "&Prédiction", "&Détermination des ondes", "&Options",
// "Ou&tils", "&Aide", with the option items checked as at start. Each menu
// gives each of its items a letter of its own; an item that opens a dialog
// ends with "…".
const MenuBar& MainMenu();

// The command of the item at this position of this top-level menu
// (separators count as positions).
int MenuItemCommand(int menuIndex, int position);
