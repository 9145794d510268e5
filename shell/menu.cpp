#include "shell/menu.h"

namespace {

MenuBar BuildMainMenu()
{
    return {
        Submenu("&Fichier", {
            MenuShortcut(CMD_OPEN_WAVES, "&Ouvrir un fichier d'ondes…", "Ctrl+O"),
            MenuCommand(CMD_OPEN_STATION, "Ouvrir une st&ation…"),
            MenuShortcut(CMD_SAVE_WAVES, "&Enregistrer un fichier d'ondes", "Ctrl+S"),
            MenuShortcut(CMD_SAVE_WAVES_AS, "Enregistrer un fichier d'ondes &sous…", "Ctrl+Shift+S"),
            MenuCommand(CMD_EXAMPLE_PORT, "Ouvrir le &port d'exemple"),
            MenuSeparator(),
            MenuCommand(CMD_IMPORT_RECORD, "Importer un enre&gistrement…"),
            MenuCommand(CMD_IMPORT_MEASUREMENTS, "&Importer des mesures…"),
            MenuCommand(CMD_SAVE_RECORD_AS, "Enregistrer le &relevé sous…"),
            MenuCommand(CMD_HOURLY_INTERPOLATION, "In&terpolation horaires.", false, true),
            MenuSeparator(),
            Submenu("E&xporter", {
                MenuCommand(CMD_EXPORT_TIDES_CSV, "&Horaires de marées (CSV)…"),
                MenuCommand(CMD_EXPORT_CALENDAR, "&Calendrier (iCalendar)…"),
                MenuCommand(CMD_EXPORT_TABLES_PDF, "&Annuaire des marées (PDF)…"),
                MenuCommand(CMD_EXPORT_WAVES_CSV, "&Ondes (CSV)…"),
                MenuCommand(CMD_EXPORT_CHART, "&Graphique (PNG ou SVG)…"),
            }),
            MenuSeparator(),
            MenuShortcut(CMD_QUIT, "&Quitter", "Ctrl+Q"),
        }),
        Submenu("&Prédiction", {
            MenuCommand(CMD_ONE_DAY_CHART, "&Tracé de marée."),
            MenuCommand(CMD_TIDE_TIMES, "&Horaires de marées."),
            MenuSeparator(),
            MenuCommand(CMD_PREDICTED_CHART, "Marée &prédite."),
            MenuCommand(CMD_SOURCE_CHART, "Marée sour&ce."),
            MenuCommand(CMD_ALL_CHART, "T&outes marées."),
            MenuSeparator(),
            MenuCommand(CMD_NEXT_YEAR, "Année &suivante."),
            MenuCommand(CMD_PREVIOUS_YEAR, "Année p&récédente."),
        }),
        Submenu("&Détermination des ondes", {
            MenuCommand(CMD_WAVE_MANAGER, "&Gestionnaire d'onde…"),
            MenuSeparator(),
            MenuCommand(CMD_MEAN_LEVEL, "&Niveau moyen"),
            MenuCommand(CMD_LISTED_WAVES, "Ondes l&istées"),
            MenuCommand(CMD_ALL_KNOWN_WAVES, "&Toutes ondes connues."),
            MenuCommand(CMD_SHALLOW_WATER_WAVES, "Ondes de petits fon&ds."),
            MenuCommand(CMD_HARMONIC_ANALYSIS, "Analyse &harmonique…"),
            MenuCommand(CMD_COMPARE_STATION, "&Comparer aux constantes publiées…"),
            MenuCommand(CMD_RESET_WAVES, "&Réinitialisation"),
            MenuSeparator(),
            MenuCommand(769, "Onde &Lunaire semi-diurne"),
            MenuCommand(770, "Onde &Solaire semi-diurne"),
            MenuCommand(771, "Onde Lunaire &elliptique semi-diurne"),
            MenuCommand(772, "Onde L&unaire diurne"),
            MenuCommand(773, "Onde S&olaire diurne"),
            MenuSeparator(),
            MenuCommand(CMD_FFT, "Méthode &FFT"),
            Submenu("Détermination des &périodes", {
                MenuCommand(CMD_BAND_11H45_13H, "De &11h45 à 13h."),
                MenuCommand(CMD_BAND_23H_25H, "De &23h à 25h."),
                MenuCommand(CMD_BAND_5H_37H, "De &5h à 37h."),
                MenuCommand(CMD_BAND_3H_50H, "De &3h à 50h"),
                MenuCommand(CMD_BAND_DIALOG, "&De … à …"),
            }),
        }),
        Submenu("&Options", {
            MenuCommand(CMD_TIME_AXIS, "Axe du &temps", true),
            MenuCommand(CMD_HEIGHT_AXIS, "Axe &hauteur", true),
            MenuCommand(CMD_TIMES_OF_TIDE, "Horaire &marée", true),
            MenuSeparator(),
            MenuCommand(CMD_FOURIER, "Calcul &Fourier", true),
            MenuCommand(CMD_NODAL_CORRECTIONS, "Corrections &nodales"),
            MenuCommand(CMD_PORT, "&Port…"),
            MenuSeparator(),
            Submenu("&Source", {
                MenuCommand(1281, "&Enregistrement"),
                MenuCommand(1282, "Marée &normale"),
                MenuCommand(1283, "Marée &rectifiée"),
                MenuCommand(1284, "Marée &arrondie"),
                MenuCommand(1285, "Marée rectifiée arr&ondie"),
            }),
            MenuSeparator(),
            Submenu("&Verbose mode", {MenuCommand(CMD_VERBOSE_FFT, "Calcul &FFT")}),
        }),
        Submenu("Ou&tils", {MenuCommand(CMD_CONVERTER, "&Convertisseur")}),
        Submenu("&Aide", {
            MenuShortcut(CMD_HELP, "&Sommaire", "F1"),
            MenuSeparator(),
            MenuCommand(CMD_ABOUT, "À &propos de…"),
        }),
    };
}

}  // namespace

const MenuBar& MainMenu()
{
    static const MenuBar menu = BuildMainMenu();
    return menu;
}

int MenuItemCommand(int menuIndex, int position)
{
    return MainMenu().at(static_cast<std::size_t>(menuIndex)).items.at(static_cast<std::size_t>(position)).command;
}
