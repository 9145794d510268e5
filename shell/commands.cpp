#include "shell/commands.h"

#include <filesystem>

#include "analysis/fftdetect.h"
#include "analysis/fitting.h"
#include "analysis/knownwaves.h"
#include "analysis/scan.h"
#include "base/log.h"
#include "base/options.h"
#include "base/text.h"
#include "dialogs/harmonicdialog.h"
#include "dialogs/periodrange.h"
#include "dialogs/portdialog.h"
#include "dialogs/wavedialogs.h"
#include "files/converter.h"
#include "files/importdialog.h"
#include "files/recordfile.h"
#include "files/station.h"
#include "files/stationdialog.h"
#include "files/wavefile.h"
#include "model/modeloptions.h"
#include "model/port.h"
#include "model/record.h"
#include "model/waves.h"
#include "shell/chart.h"
#include "shell/exportcommands.h"
#include "shell/menu.h"
#include "tables/tidetimes.h"

// One line per paragraph: the box wraps them to its width.
const char* const HELP_TEXT =
    "Haliome prédit et étudie la marée d'un port : un niveau moyen et des ondes, "
    "déterminés à partir d'une année de hauteurs relevées d'heure en heure.\n\n"
    "Fichier : ouvrir et enregistrer les ondes (fichiers .TID), ouvrir une station du catalogue des constantes "
    "publiées, ouvrir le port d'exemple, importer un relevé "
    "horaire (fichier .TXT) ou les mesures d'un marégraphe (UHSLC, GESLA, NOAA CO-OPS, "
    "DIA, MEDS, BOM, NOOS, texte daté ISO 8601), enregistrer le relevé horaire, exporter les horaires "
    "de marées, l'annuaire, les ondes et le graphique.\n\n"
    "Prédiction : le tracé d'une journée avec les heures des pleines et basses mers ; "
    "les horaires de marées d'un mois avec leurs coefficients ; le tracé sur plusieurs "
    "jours de la marée prédite, de la marée source et de leur différence (la barre "
    "verticale, ou Ctrl avec la molette, règle l'échelle du temps) ; l'année suivante "
    "ou précédente.\n\n"
    "Détermination des ondes : le gestionnaire d'ondes (ajouter, modifier, supprimer), "
    "le niveau moyen, les ondes listées, toutes les ondes connues, les ondes de petits "
    "fonds, l'analyse harmonique (toutes les ondes ensemble, avec leurs intervalles de confiance), "
    "la réinitialisation, une onde de la liste, la méthode FFT et le balayage "
    "d'une bande de périodes. Échap ou « Annuler » arrête un calcul long.\n\n"
    "Options : les axes, les horaires sur le tracé d'une journée, le calcul de Fourier, "
    "les corrections nodales (les ondes lunaires d'une année portées à toute autre date), "
    "la marée source des tracés et des déterminations.\n\n"
    "Outils : le convertisseur d'horaires de marées en relevé horaire "
    "(source.txt, en majuscules ou en minuscules, vers sortie.txt, avec report.txt).\n\n"
    "Raccourcis : Ctrl+O ouvre un fichier d'ondes, Ctrl+S enregistre les ondes, Ctrl+Q quitte, "
    "F1 montre ce sommaire ; Alt et la lettre soulignée ouvrent un menu.";

const char* const ABOUT_TEXT =
    "Haliome " HALIOME_VERSION "\n\n"
    "Prédiction et étude de la marée d'un port.\n"
    "Par l'équipe Haliome.";

namespace {

void ShowOneDayChart()
{
    SetScrollRange(ScrollBar::Horizontal, 0, RecordSeries.RecordDays);
    SetScrollPos(ScrollBar::Horizontal, 0);
    SetScrollRange(ScrollBar::Vertical, 0, 0);
    Options.YearOffset = 0;
    Options.DisplayMode = 2;
    Options.CurveSelection = 0;
    Repaint();
    RunAnalysisTask();
}

void ShowMultiDayChart(int curves)
{
    Options.YearOffset = 0;
    SetScrollRange(ScrollBar::Horizontal, 0, 10000);
    SetScrollPos(ScrollBar::Horizontal, 0);
    SetScrollRange(ScrollBar::Vertical, 60, 10000);
    SetScrollPos(ScrollBar::Vertical, 100);
    Options.DisplayMode = 2;
    Options.CurveSelection = curves;
    Repaint();
    RunAnalysisTask();
}

void HideScrollBars()
{
    SetScrollRange(ScrollBar::Horizontal, 0, 0);
    SetScrollRange(ScrollBar::Vertical, 0, 0);
}

void ScanBand(double minHours, double maxHours)
{
    HideScrollBars();
    Options.PeriodMin = minHours;
    Options.PeriodMax = maxHours;
    Options.DisplayMode = 0;
    RunAnalysisTask();
    Repaint();
}

void ScanTypedBand()
{
    if (!RunPeriodRangeDialog())
        return;
    HideScrollBars();
    Options.DisplayMode = 0;
    RunAnalysisTask();
    Repaint();
}

void DetermineMenuWave(int row)
{
    Options.DisplayMode = 1;
    Options.SelectedWave = row;
    RunAnalysisTask();
    Repaint();
}

// Waves not saved are offered a save first; saved ones are dropped once the
// user agrees. The mean level stays.
void ResetWaves()
{
    const char* caption = "Réinitialisation";
    if (WaveSet.count > 0 && HasUnsavedWaves()) {
        if (!MaySetWavesAside(MainWindow, caption, "de les retirer du modèle"))
            return;
    } else if (WaveSet.count > 0 &&
               ShowMessage(MainWindow,
                           Format("Retirer %s du modèle ? Le niveau moyen reste.",
                                  WaveSet.count == 1 ? "l'onde" : Format("les %i ondes", WaveSet.count).c_str()),
                           caption, MessageButtons::YesNo, MessageIcon::Question) != MessageAnswer::Yes) {
        return;
    }
    WaveSet.count = 0;
    NoteWavesChanged();
    LogText("\n\nRéinitialisation\n\n");
    Repaint();
}

// The chart at the start of the record, as it was chosen, scrolled to the
// first measured hour: a record starts on 1 January, its measurements may
// start months later.
void ShowRecordStart()
{
    if (Options.CurveSelection == 0)
        ShowOneDayChart();
    else
        ShowMultiDayChart(Options.CurveSelection);
    if (const std::int64_t first = FirstMeasuredHour(); first > 0 && first < RecordSeries.RecordCount) {
        ScrollChartTo(first * HOUR_SECONDS);
        Repaint();
    }
}

// A record of another port brings its own waves: those of the start-up.
void AfterImport(RecordChange change)
{
    if (change == RecordChange::None)
        return;
    if (change == RecordChange::AnotherPort) {
        ForgetCurrentStation();
        WaveSet.count = 0;
        NoteWavesChanged();
        DetermineListedWaves();
    }
    ShowRecordStart();
    ShowStatus("Relevé horaire de « " + PortName() + " » en mémoire.");
}

void OpenExamplePort()
{
    const char* caption = "Ouvrir le port d'exemple";
    const std::optional<std::string> path = ExamplePortFile();
    if (!path) {
        ShowMessage(MainWindow, "Le port d'exemple n'a pas été trouvé à côté du programme.", caption,
                    MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    if (!MaySetWavesAside(MainWindow, caption, "d'ouvrir le port d'exemple"))
        return;
    RecordFilePath = *path;
    if (!LoadRecordFile())
        return;
    ForgetCurrentStation();
    WaveSet.count = 0;
    WaveFilePath.clear();
    DetermineListedWaves();
    MarkWavesSaved();  // the example gives them again
    ShowRecordStart();
    ShowStatus("Relevé horaire de « " + PortName() + " » en mémoire.");
}

// The option items hold positions 0, 1, 2, 4 and 5 of the "&Options" menu.
void ToggleOption(int& flag, int position)
{
    flag = flag ? 0 : 1;
    CheckMenuCommand(MenuItemCommand(3, position), flag == 1);
    Repaint();
}

void ChooseSource(int mode)
{
    Options.SourceMode = mode;
    RunAnalysisTask();
    Repaint();
}

void ShowText(const char* text, const char* caption)
{
    ShowMessage(MainWindow, text, caption, MessageButtons::Ok, MessageIcon::Information);
}

// The About box: the program, and the attribution of a station's data
// while a station is the port.
std::string AboutText()
{
    const std::string attribution = StationAttribution();
    return attribution.empty() ? ABOUT_TEXT : std::string(ABOUT_TEXT) + "\n\n" + attribution;
}

}  // namespace

bool MayCloseProgram()
{
    return MaySetWavesAside(MainWindow, "Quitter", "de quitter");
}

std::optional<std::string> ExamplePortFile()
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    for (const fs::path& folder : {program.parent_path() / "../share/haliome/examples/vlissingen",
                                   fs::path(HALIOME_EXAMPLE_DIR)}) {
        const fs::path record = folder / "PORT.TXT";
        if (fs::is_regular_file(record, error))
            return record.lexically_normal().string();
    }
    return std::nullopt;
}

void DetermineListedWaves(bool again)
{
    for (int row = 0; row < MENU_WAVE_COUNT; ++row) {
        if (!CanAddFittedWaveOrReport(MainWindow))
            break;
        if (!again && IsHeld(CatalogueWave(Catalogue::Listed, row)))
            continue;
        Options.SelectedWave = row;
        Options.DisplayMode = 1;
        RunAnalysisTask();
    }
    Repaint();
}

void OnCommand(int command)
{
    switch (command) {
    case CMD_OPEN_WAVES: OpenWaveFile(); break;
    case CMD_SAVE_WAVES: SaveWaveFile(); break;
    case CMD_SAVE_WAVES_AS: SaveWaveFileAs(); break;
    case CMD_IMPORT_RECORD: AfterImport(ImportRecordFile()); break;
    case CMD_IMPORT_MEASUREMENTS: AfterImport(ImportMeasurements()); break;
    case CMD_SAVE_RECORD_AS: SaveRecordFileAs(); break;
    case CMD_OPEN_STATION: OpenStation(); break;
    case CMD_EXAMPLE_PORT: OpenExamplePort(); break;
    case CMD_EXPORT_TIDES_CSV: ExportTidesCsv(); break;
    case CMD_EXPORT_CALENDAR: ExportTidesCalendar(); break;
    case CMD_EXPORT_TABLES_PDF: ExportTablesPdf(); break;
    case CMD_EXPORT_WAVES_CSV: ExportWavesCsv(); break;
    case CMD_EXPORT_CHART: ExportChartPicture(); break;
    case CMD_QUIT:
        if (MayCloseProgram())
            DestroyMainWindow();
        break;
    case CMD_ONE_DAY_CHART: ShowOneDayChart(); break;
    case CMD_TIDE_TIMES: OpenTideTimes(); break;
    case CMD_PREDICTED_CHART:
    case CMD_SOURCE_CHART:
    case CMD_ALL_CHART: ShowMultiDayChart(command - CMD_ONE_DAY_CHART); break;
    case CMD_NEXT_YEAR: Options.YearOffset += YEAR_SHIFT_SECONDS; Repaint(); break;
    case CMD_PREVIOUS_YEAR: Options.YearOffset -= YEAR_SHIFT_SECONDS; Repaint(); break;
    case CMD_WAVE_MANAGER: ShowWaveManager(); break;
    case CMD_MEAN_LEVEL: DetermineMeanLevel(0); Repaint(); break;
    case CMD_LISTED_WAVES: DetermineListedWaves(DetermineHeldWavesAgain(Catalogue::Listed, "Ondes listées")); break;
    case CMD_ALL_KNOWN_WAVES:
        AddAllKnownWaves(DetermineHeldWavesAgain(Catalogue::Known, "Toutes ondes connues"));
        Repaint();
        break;
    case CMD_SHALLOW_WATER_WAVES:
        AddAllShallowWaterWaves(DetermineHeldWavesAgain(Catalogue::Shallow, "Ondes de petits fonds"));
        Repaint();
        break;
    case CMD_HARMONIC_ANALYSIS: RunHarmonicAnalysisDialog(); Repaint(); break;
    case CMD_COMPARE_STATION: CompareWithStation(); break;
    case CMD_RESET_WAVES: ResetWaves(); break;
    case 769: case 770: case 771: case 772: case 773: DetermineMenuWave(command - CMD_MENU_WAVE_FIRST); break;
    case CMD_FFT: AddFftWave(); Repaint(); break;
    case CMD_BAND_11H45_13H: ScanBand(11.75, 13.0); break;
    case CMD_BAND_23H_25H: ScanBand(23.0, 25.0); break;
    case CMD_BAND_5H_37H: ScanBand(5.0, 37.0); break;
    case CMD_BAND_3H_50H: ScanBand(3.0, 50.0); break;
    case CMD_BAND_DIALOG: ScanTypedBand(); break;
    case CMD_TIME_AXIS: ToggleOption(Options.ShowTimeAxis, 0); break;
    case CMD_HEIGHT_AXIS: ToggleOption(Options.ShowHeightAxis, 1); break;
    case CMD_TIMES_OF_TIDE: ToggleOption(Options.ShowTimesOfTide, 2); break;
    case CMD_FOURIER: ToggleOption(Options.UseFourier, 4); break;
    case CMD_NODAL_CORRECTIONS: ToggleOption(Model.NodalCorrections, 5); break;
    case CMD_PORT: RunPortDialog(); Repaint(); break;
    case 1281: case 1282: case 1283: case 1284: case 1285: ChooseSource(command - CMD_SOURCE_FIRST); break;
    case CMD_VERBOSE_FFT: Options.VerboseFft = !Options.VerboseFft; break;
    case CMD_CONVERTER: ConvertTideTimes(); break;
    case CMD_HELP: ShowText(HELP_TEXT, "Sommaire"); break;
    case CMD_ABOUT: ShowText(AboutText().c_str(), "À propos de Haliome"); break;
    default: break;  // the greyed "Interpolation horaires." and unknown identifiers
    }
}
