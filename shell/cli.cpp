#include "shell/cli.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <new>
#include <optional>
#include <regex>
#include <string>

#include "analysis/jointfit.h"
#include "analysis/knownwaves.h"
#include "base/calendar.h"
#include "base/fields.h"
#include "base/savefile.h"
#include "base/text.h"
#include "exports/exportfile.h"
#include "exports/formats.h"
#include "exports/pages.h"
#include "exports/pdf.h"
#include "exports/tides.h"
#include "files/measurements.h"
#include "files/recordfile.h"
#include "files/wavefile.h"
#include "model/modeloptions.h"
#include "model/record.h"
#include "model/port.h"
#include "platform/headless/headless.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/exportcommands.h"
#include "shell/stationcommands.h"

namespace {

// Exit statuses.
constexpr int DONE = 0;
constexpr int FILE_FAILED = 1;
constexpr int BAD_USAGE = 2;

constexpr const char* STANDARD_OUTPUT = "-";

// Bounds of the work a command line may ask for, checked before it starts:
// the longest period, and predict's rows (streamed, but about 100 bytes each).
constexpr std::int64_t MAX_SPAN_SECONDS = std::int64_t{36525} * 86400;  // a century
constexpr std::int64_t MAX_GRID_HEIGHTS = 10000000;  // nineteen years at one-minute steps

struct Arguments {
    std::string input;
    std::string output;
    std::string from, to;
    std::string format;
    std::string zone, unit;  // of a gauge file that does not state them
    std::string tz;          // the port's zone
    std::string name;        // the port's, for a gauge file
    std::string datum;       // NAME or NAME=OFFSET
    std::string units = "m";  // of the heights written
    std::string station;     // instead of the wave file
    std::string compare;     // the station a fit is set beside
    StationArguments stations;
    bool known = false;
    bool shallow = false;
    bool joint = false;
    double rayleigh = DEFAULT_RAYLEIGH;
    bool nodal = false;
    bool noNodal = false;
    bool utc = false;
    int stepMinutes = 0;
    int year = 0;
};

struct Streams {
    std::ostream& out;
    std::ostream& errors;
};

// ---- Dates -----------------------------------------------------------------------

// What --to means in every subcommand, as the help says it.
constexpr const char* TO_HELP =
    "Fin de la période : une date seule en comprend toute la journée, une date et heure est le premier instant "
    "exclu";
constexpr const char* STATION_HELP = "Une station du catalogue (id ou nom) au lieu d'un fichier d'ondes";
constexpr const char* DATE_HELP =
    "AAAA-MM-JJ, ou AAAA-MM-JJTHH:MM[:SS] à l'heure du port, ou suivie de Z ou d'un décalage (+02:00) comme les "
    "sorties l'écrivent";

// The date of option --from or --to (endOfDay), or nothing, said.
std::optional<CalendarTime> DateOrSay(const char* option, const std::string& text, Clock clock, std::ostream& errors)
{
    std::optional<CalendarTime> t = TimeOfIsoDate(text, clock, std::string(option) == "--to");
    if (t)
        return t;
    if (const std::string doubt = clock == Clock::Local ? LocalTimeDoubt(text) : ""; !doubt.empty())
        errors << "haliome-cli: " << option << " " << text << " " << doubt << ".\n";
    else
        errors << "haliome-cli: " << option << " " << text << " : date attendue, " << DATE_HELP << ".\n";
    return t;
}

// The period from --from to --to, or nothing when one is unreadable, said;
// either bound may be absent when optional.
bool PeriodOrSay(const Arguments& args, Clock clock, bool optional, std::optional<CalendarTime>& from,
                 std::optional<CalendarTime>& to, std::ostream& errors)
{
    if ((!optional || !args.from.empty()) && !(from = DateOrSay("--from", args.from, clock, errors)))
        return false;
    if ((!optional || !args.to.empty()) && !(to = DateOrSay("--to", args.to, clock, errors)))
        return false;
    if (from && to && *to <= *from) {
        errors << "haliome-cli: --to doit venir après --from.\n";
        return false;
    }
    return true;
}

std::optional<TimeSpan> SpanOrSay(const Arguments& args, std::ostream& errors)
{
    std::optional<CalendarTime> from, to;
    if (!PeriodOrSay(args, args.utc ? Clock::Utc : Clock::Local, false, from, to, errors))
        return std::nullopt;
    if (*to - *from > MAX_SPAN_SECONDS) {
        errors << "haliome-cli: de --from à --to, plus d'un siècle (36525 jours) : demandez une période plus courte.\n";
        return std::nullopt;
    }
    return TimeSpan{*from, *to};
}

// ---- The port --------------------------------------------------------------------

// --datum NAME or NAME=OFFSET (m, the mean level above it; a decimal point or comma).
bool DatumOrSay(const Arguments& args, std::string& name, std::optional<double>& offset, std::ostream& errors)
{
    const std::size_t equals = args.datum.rfind('=');
    name = args.datum.substr(0, equals);
    if (equals != std::string::npos)
        offset = DecimalOf(args.datum.substr(equals + 1));
    if (!name.empty() && (equals == std::string::npos || offset))
        return true;
    errors << "haliome-cli: --datum " << args.datum
           << " : attendu le nom du zéro, puis = et la hauteur du niveau moyen au-dessus de lui en mètres "
              "(Chart Datum=2.78).\n";
    return false;
}

// The zone the port needs is one the system knows: a port without its own
// is on the computer's, which TZ may name wrongly.
bool ClockKnownOrSay(std::ostream& errors)
{
    if (!Header.TimeZone.empty() || ComputerZoneKnown())
        return true;
    errors << "haliome-cli: TZ=" << ComputerZoneName()
           << " ne nomme aucun fuseau que le système connaisse, et le port n'en nomme pas : donnez le sien avec "
              "--tz.\n";
    return false;
}

// The port as read from its file, with what the command line sets: --tz
// (the model's instants kept, as the window's port dialog does) and --datum.
int AdjustPortOrSay(const Arguments& args, std::ostream& errors)
{
    std::string why;
    if (!args.tz.empty() && args.tz != Header.TimeZone && !SetPortZone(args.tz, why)) {
        errors << "haliome-cli: --tz " << args.tz << " : " << why << "\n";
        return FILE_FAILED;
    }
    if (!ClockKnownOrSay(errors))
        return BAD_USAGE;
    if (!args.datum.empty())
        DatumOrSay(args, Header.DatumName, Header.DatumOffset, errors);
    return DONE;
}

ExportForm FormOf(const Arguments& args)
{
    return ExportForm{args.utc ? Clock::Utc : Clock::Local, args.units == "ft"};
}

// ---- Files -----------------------------------------------------------------------

bool CanReadOrSay(const std::string& path, std::ostream& errors)
{
    if (ReadFileBytes(path, 0))  // its first byte, if any, is enough to know
        return true;
    errors << "haliome-cli: " << path << " ne peut pas être lu.\n";
    return false;
}

// A wave file that is refused has been explained by its message.
bool LoadWaveFile(const std::string& path, std::ostream& errors)
{
    std::optional<std::string> bytes = ReadFileBytes(path, MAX_WAVE_FILE_BYTES);
    if (!bytes) {
        errors << "haliome-cli: " << path << " ne peut pas être lu.\n";
        return false;
    }
    if (bytes->size() > MAX_WAVE_FILE_BYTES) {
        errors << "haliome-cli: " << path << " est plus grand qu'un fichier d'ondes ne peut l'être ("
               << (MAX_WAVE_FILE_BYTES >> 20) << " Mio).\n";
        return false;
    }
    WaveFilePath = path;
    return ReadWaveFile(*bytes);
}

// The wave file, or the station of --station for year.
bool LoadPort(const Arguments& args, int year, std::ostream& errors)
{
    if (!args.station.empty())
        return LoadStationPort(args.station, year, errors);
    if (args.input.empty()) {
        errors << "haliome-cli: un fichier d'ondes ou --station STATION est attendu.\n";
        return false;
    }
    return LoadWaveFile(args.input, errors);
}

int YearOf(CalendarTime t, Clock clock)
{
    return TimeOn(clock, t).tm_year + 1900;
}

// --nodal and --no-nodal as given. Without either, a station keeps them (its
// waves are those of one year), and a wave file has them wherever the dates
// asked for leave its year, which its waves predict worse without them.
void ChooseNodalCorrections(const Arguments& args, int firstYear, int lastYear)
{
    if (args.nodal || args.noNodal)
        Model.NodalCorrections = args.nodal ? 1 : 0;
    else if (args.station.empty())
        Model.NodalCorrections = firstYear != Header.StartYear || lastYear != Header.StartYear ? 1 : 0;
}

// ---- Subcommands -----------------------------------------------------------------

// Where a subcommand's report goes: the output, unless the file it writes
// takes it.
std::ostream& ReportStream(const Arguments& args, Streams io)
{
    return args.output == STANDARD_OUTPUT ? io.errors : io.out;
}

// The zone and unit given for a gauge file that does not state its own.
std::optional<ImportChoices> ChoicesOrSay(const Arguments& args, std::ostream& errors)
{
    ImportChoices choices;
    if (!args.zone.empty()) {
        choices.zoneMinutes = ZoneFromText(args.zone);
        if (!choices.zoneMinutes) {
            errors << "haliome-cli: --zone " << args.zone << " : attendu un décalage tel que UTC, +1 ou -05:30.\n";
            return std::nullopt;
        }
    }
    for (int u = 0; u < HEIGHT_UNIT_COUNT && !args.unit.empty(); ++u)
        if (args.unit == UnitSymbol(static_cast<HeightUnit>(u)))
            choices.unit = static_cast<HeightUnit>(u);
    return choices;
}

// The port of an import: its zone, name and datum, and the period kept, on
// the port's clock.
bool PortChoicesOrSay(const Arguments& args, PortChoices& port, std::ostream& errors)
{
    port.zone = args.tz;
    port.name = args.name;
    if (!args.datum.empty()) {
        std::string name;
        if (!DatumOrSay(args, name, port.datumOffset, errors))
            return false;
        port.datumName = name;
    }
    UseClockOf(port.zone);
    if (!PeriodOrSay(args, Clock::Local, true, port.from, port.to, errors))
        return false;
    return port.zone.empty() ? ClockKnownOrSay(errors) : true;
}

// A gauge file to an hourly record file, as the import dialog does it: the
// description of what was read goes to the output.
int Import(const Arguments& args, Streams io)
{
    std::optional<ImportChoices> choices = ChoicesOrSay(args, io.errors);
    if (!choices || !PortChoicesOrSay(args, choices->port, io.errors))
        return BAD_USAGE;
    ImportedRecord record;
    std::string message;
    if (!ImportMeasurementFile(args.input, *choices, record, message)) {
        io.errors << "haliome-cli: " << message << "\n";
        return FILE_FAILED;
    }
    ReportStream(args, io) << record.description << PortFactsOf(record) << "\n";
    const std::string text = RecordFileText(record.portLine, record.year, record.days, record.values,
                                            RecordPortLines(record.zone, record.datumName, record.datumOffset, true));
    return WriteOutput(args.output, WithCrLf(text), true, io.out) ? DONE : FILE_FAILED;
}

// The start-up of the window: the record, its mean level and the five listed
// waves; then, when asked, every known wave as "Toutes ondes connues" adds them.
// Jointly, the analysis of the known waves (and the shallow-water ones)
// takes their place, and its report goes to the output.
int Fit(const Arguments& args, Streams io)
{
    if (!CanReadOrSay(args.input, io.errors))
        return FILE_FAILED;
    // The station is looked for first: a fit that cannot be compared writes nothing.
    if (!args.compare.empty() && !StationKnownOrSay(args.compare, io.errors))
        return FILE_FAILED;
    RecordFilePath = args.input;
    if (!DetermineStartModel())
        return FILE_FAILED;
    if (MeasuredHoursBefore(static_cast<std::int64_t>(UsableSpan() / HOUR_SECONDS)) == 0) {
        io.errors << "haliome-cli: " << args.input
                  << " : aucune heure mesurée dont un ajustement puisse se servir ; aucun fichier d'ondes n'est "
                     "écrit.\n";
        return FILE_FAILED;
    }
    if (const int status = AdjustPortOrSay(args, io.errors); status != DONE)
        return status;
    if (args.joint) {
        const std::optional<std::string> report =
            RunJointAnalysis(args.shallow ? JointSet::KnownAndShallow : JointSet::Known, args.rayleigh);
        if (!report)
            return FILE_FAILED;  // said by its message
        ReportStream(args, io) << *report;
    } else {
        DetermineListedWaves();
        if (args.known)
            AddAllKnownWaves();
        if (args.shallow)
            AddAllShallowWaterWaves();
    }
    if (!WriteOutput(args.output, WaveFileBytes(), true, io.out))
        return FILE_FAILED;
    return args.compare.empty() ? DONE : CompareWithStation(args.compare, ReportStream(args, io), io.errors);
}

// The wave file or the station, the port as the command line adjusts it,
// and the period on the port's clock. The dates are checked before the file
// is read, so that a mistake of the command line is said first.
int LoadPortAndSpan(const Arguments& args, std::ostream& errors, std::optional<TimeSpan>& span)
{
    span = SpanOrSay(args, errors);
    if (!span)
        return BAD_USAGE;
    if (!LoadPort(args, YearOf(span->from, args.utc ? Clock::Utc : Clock::Local), errors))
        return FILE_FAILED;
    if (const int status = AdjustPortOrSay(args, errors); status != DONE)
        return status;
    span = SpanOrSay(args, errors);
    if (!span)
        return BAD_USAGE;
    const Clock clock = args.utc ? Clock::Utc : Clock::Local;
    ChooseNodalCorrections(args, YearOf(span->from, clock), YearOf(span->to - 1, clock));
    return DONE;
}

int Tides(const Arguments& args, Streams io)
{
    std::optional<TimeSpan> span;
    if (const int status = LoadPortAndSpan(args, io.errors, span); status != DONE)
        return status;
    std::optional<std::vector<Tide>> tides = TidesIn(*span);
    if (!tides) {
        io.errors << "haliome-cli: la période ne peut pas être convertie en mois de l'heure locale.\n";
        return BAD_USAGE;
    }
    if (args.format == "ics" && tides->empty()) {
        io.errors << "haliome-cli: aucune marée dans la période ; un calendrier iCalendar en demande au moins une.\n";
        return FILE_FAILED;
    }
    const ExportForm form = FormOf(args);
    if (args.format == "csv")
        io.out << WithoutCr(TidesCsv(*tides, form));
    else if (args.format == "ics")
        io.out << TidesICalendar(*tides, PortName(), TimeNow());
    else if (args.format == "json")
        io.out << WithoutCr(TidesJson(*tides, PortName(), form));
    else {
        // A station's note (offsets, licence) follows the banner.
        std::string text = WithoutCr(TidesText(*tides, form));
        if (const std::string note = PortTablesNote(); !note.empty())
            text.insert(text.find('\n') + 1, note + "\n");
        io.out << text;
    }
    return DONE;
}

int Predict(const Arguments& args, Streams io)
{
    std::optional<TimeSpan> span;
    if (const int status = LoadPortAndSpan(args, io.errors, span); status != DONE)
        return status;
    if (Header.Offsets)
        io.errors << "haliome-cli: " << OffsetsNote()
                  << " ; entre deux d'entre elles, les hauteurs suivent une demi-période de cosinus.\n";
    if ((span->to - span->from) / (args.stepMinutes * 60L) >= MAX_GRID_HEIGHTS) {
        io.errors << "haliome-cli: --step " << args.stepMinutes << " donne plus de " << MAX_GRID_HEIGHTS
                  << " hauteurs sur la période : prenez un pas plus long ou une période plus courte.\n";
        return BAD_USAGE;
    }
    const ExportForm form = FormOf(args);
    const HeightsFormat format = args.format == "json"   ? HeightsFormat::Json
                                 : args.format == "text" ? HeightsFormat::Text
                                                         : HeightsFormat::Csv;
    // A failed output stops the grid; RunCli says why.
    WriteHeights(*span, args.stepMinutes * 60L, format, PortName(), form,
                 [&io](const std::string& piece) { return static_cast<bool>(io.out << WithoutCr(piece)); });
    return DONE;
}

int Pdf(const Arguments& args, Streams io)
{
    if (!SpanOf(args.year, WHOLE_YEAR)) {
        io.errors << "haliome-cli: l'année " << args.year << " ne peut pas être convertie en dates.\n";
        return BAD_USAGE;
    }
    if (!LoadPort(args, args.year, io.errors))
        return FILE_FAILED;
    if (const int status = AdjustPortOrSay(args, io.errors); status != DONE)
        return status;
    ChooseNodalCorrections(args, args.year, args.year);
    std::optional<std::vector<TablePage>> pages = PortTablePages(args.year, WHOLE_YEAR);
    std::optional<std::string> pdf = pages ? PdfOfPages(*pages, "Annuaire des marées " + PortName()) : std::nullopt;
    return pdf && WriteOutput(args.output, *pdf, false, io.out) ? DONE : FILE_FAILED;  // a failure has been said
}

// ---- The command line ------------------------------------------------------------

void AddPeriodOptions(CLI::App* command, Arguments& args)
{
    command->add_option("--from", args.from, std::string("Début de la période, ") + DATE_HELP)->required();
    command->add_option("--to", args.to, TO_HELP)->required();
    command->add_flag("--utc", args.utc, "Dates en UTC plutôt qu'à l'heure du port");
}

void AddNodalOption(CLI::App* command, Arguments& args)
{
    CLI::Option* on = command->add_flag(
        "--nodal", args.nodal,
        "Appliquer les corrections nodales ; sans --nodal ni --no-nodal, tides, predict et pdf les appliquent quand "
        "une date sort de l'année des ondes");
    command->add_flag("--no-nodal", args.noNodal, "Ne pas appliquer les corrections nodales")->excludes(on);
}

// The port's clock and datum, which files may name and the command line sets.
void AddPortOptions(CLI::App* command, Arguments& args)
{
    command->add_option("--tz", args.tz, "Le fuseau du port, un nom IANA tel que Europe/Amsterdam");
    command->add_option("--datum", args.datum,
                        "Le zéro des hauteurs : NOM, ou NOM=DÉCALAGE avec le niveau moyen DÉCALAGE m au-dessus");
}

void AddUnitsOption(CLI::App* command, Arguments& args)
{
    command->add_option("--units", args.units, "Hauteurs en mètres (m) ou en pieds (ft)")
        ->check(CLI::IsMember({"m", "ft"}))
        ->default_str("m");
}

void DescribeCommands(CLI::App& app, Arguments& args)
{
    CLI::App* import = app.add_subcommand("import", "Faire d'un fichier de marégraphe un relevé horaire");
    import->add_option("FICHIER", args.input, "Fichier UHSLC, GESLA, NOAA CO-OPS, DIA, MEDS, BOM, NOOS ou texte daté")
        ->required();
    import->add_option("-o,--output", args.output, "Relevé horaire à écrire (.TXT), - : la sortie standard")
        ->required();
    import->add_option("--zone", args.zone, "L'heure du fichier quand il ne la dit pas : UTC, +1, -05:30");
    import->add_option("--unit", args.unit, "L'unité des hauteurs quand le fichier ne la dit pas")
        ->check(CLI::IsMember({"m", "cm", "mm", "ft"}));
    import->add_option("--name", args.name, "Le nom du port, quand le fichier ne nomme pas de station");
    import->add_option("--from", args.from, std::string("Garder les mesures depuis cette date, ") + DATE_HELP);
    import->add_option("--to", args.to, TO_HELP);
    AddPortOptions(import, args);

    CLI::App* fit = app.add_subcommand("fit", "Déterminer les ondes du démarrage d'un relevé horaire et les écrire");
    fit->add_option("RELEVE", args.input, "Relevé horaire (.TXT)")->required();
    fit->add_option("-o,--output", args.output, "Fichier d'ondes à écrire (.TID), - : la sortie standard")->required();
    fit->add_flag("--known", args.known, "Puis déterminer aussi toutes les ondes connues");
    fit->add_flag("--shallow", args.shallow, "Puis déterminer aussi les ondes d'eau peu profonde");
    fit->add_flag("--joint", args.joint,
                  "Déterminer les ondes connues (et avec --shallow celles d'eau peu profonde) toutes ensemble, à la "
                  "place de celles du démarrage, et écrire l'analyse");
    fit->add_option("--rayleigh", args.rayleigh, "Avec --joint : le nombre de Rayleigh (1 sinon)")
        ->check(CLI::Range(0.0, 100.0).description("de 0 à 100"))
        ->needs("--joint");
    fit->add_option("--compare", args.compare, "Mettre les ondes déterminées face aux constantes publiées d'une station");
    AddNodalOption(fit, args);
    AddPortOptions(fit, args);

    CLI::App* tides = app.add_subcommand("tides", "Pleines et basses mers d'une période");
    tides->add_option("ONDES", args.input, "Fichier d'ondes (.TID)");
    tides->add_option("--station", args.station, STATION_HELP);
    AddPeriodOptions(tides, args);
    AddNodalOption(tides, args);
    AddPortOptions(tides, args);
    AddUnitsOption(tides, args);
    tides->add_option("--format", args.format, "text, csv, ics ou json")
        ->check(CLI::IsMember({"text", "csv", "ics", "json"}))
        ->default_str("text");

    CLI::App* predict = app.add_subcommand("predict", "Hauteurs prédites à pas réguliers");
    predict->add_option("ONDES", args.input, "Fichier d'ondes (.TID)");
    predict->add_option("--station", args.station, STATION_HELP);
    AddPeriodOptions(predict, args);
    AddNodalOption(predict, args);
    AddPortOptions(predict, args);
    AddUnitsOption(predict, args);
    predict->add_option("--step", args.stepMinutes, "Minutes entre deux hauteurs")
        ->required()
        ->check(CLI::Range(1, 1000000).description("de 1 à 1000000"));
    predict->add_option("--format", args.format, "csv, json ou text")
        ->check(CLI::IsMember({"csv", "json", "text"}))
        ->default_str("csv");

    CLI::App* pdf = app.add_subcommand("pdf", "Annuaire des marées d'une année à imprimer, un mois par page");
    pdf->add_option("ONDES", args.input, "Fichier d'ondes (.TID)");
    pdf->add_option("--station", args.station, STATION_HELP);
    pdf->add_option("--year", args.year, "L'année de l'annuaire")
        ->required()
        ->check(CLI::Range(1, 9999).description("de 1 à 9999"));
    pdf->add_option("-o,--output", args.output, "Fichier PDF à écrire, - : la sortie standard")->required();
    AddNodalOption(pdf, args);
    AddPortOptions(pdf, args);

    DescribeStationCommands(app, args.stations);
}

int RunCommand(const CLI::App& app, const Arguments& args, Streams io)
{
    Model.NodalCorrections = args.nodal ? 1 : 0;
    if (!args.tz.empty() && !IsKnownZone(args.tz)) {
        io.errors << "haliome-cli: --tz " << args.tz
                  << " : le système ne connaît pas ce fuseau (un nom IANA tel que Europe/Paris est attendu).\n";
        return BAD_USAGE;
    }
    std::string datumName;
    std::optional<double> offset;
    if (!args.datum.empty() && !DatumOrSay(args, datumName, offset, io.errors))
        return BAD_USAGE;
    if (!args.output.empty() && NamesSameFile(args.output, args.input)) {
        io.errors << "haliome-cli: -o " << args.output << " est " << args.input << ", qu'il remplacerait.\n";
        return FILE_FAILED;
    }
    AssumedPortZone = args.tz;
    if (std::optional<int> status = RunStationCommand(app, args.stations, io.out, io.errors))
        return *status;
    if (app.got_subcommand("import"))
        return Import(args, io);
    if (app.got_subcommand("fit"))
        return Fit(args, io);
    if (app.got_subcommand("tides"))
        return Tides(args, io);
    if (app.got_subcommand("predict"))
        return Predict(args, io);
    return Pdf(args, io);
}

// ---- One language ----------------------------------------------------------------
// The command line speaks French, as the program does: its outputs and the
// messages of the computations it shares with the window are French.

// The parser's error, which it words in English, in French.
std::string FrenchParseError(const std::string& english)
{
    static const std::pair<std::regex, const char*> PHRASES[] = {
        {std::regex("^A subcommand is required$"), "une sous-commande est attendue"},
        {std::regex("^(\\S+) is required$"), "$1 est obligatoire"},
        {std::regex("^(\\S+): Value (.*) not in range (.*) to (.*)$"), "$1 : la valeur $2 n'est pas entre $3 et $4"},
        {std::regex("^(\\S+): (.*) not in (\\{.*\\})$"), "$1 : $2 n'est pas parmi $3"},
        {std::regex("^Could not convert: (\\S+) = (.*)$"), "$1 $2 : ce n'est pas un nombre"},
        {std::regex("^The following arguments? (was|were) not expected: (.*)$"), "argument inattendu : $2"},
        {std::regex("^(\\S+) excludes (\\S+)$"), "$1 exclut $2"},
        {std::regex("^(\\S+) requires (\\S+)$"), "$1 demande $2"},
        {std::regex("^(\\S+): .* missing$"), "$1 : il manque sa valeur"},
    };
    for (const auto& [pattern, french] : PHRASES)
        if (std::regex_match(english, pattern))
            return std::regex_replace(english, pattern, french);
    return english;
}

// The parser's words for its help and its errors.
void SpeakFrench(CLI::App& app)
{
    app.set_help_flag("-h,--help", "Afficher cette aide et quitter");
    for (const auto& [english, french] :
         {std::pair{"Usage", "Utilisation"}, {"Positionals", "Arguments"}, {"OPTIONS", "OPTIONS"},
          {"REQUIRED", "OBLIGATOIRE"}, {"Needs", "Demande"}, {"Excludes", "Exclut"},
          {"SUBCOMMAND", "SOUS-COMMANDE"}, {"SUBCOMMANDS", "SOUS-COMMANDES"}})
        app.get_formatter()->label(english, french);
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return "haliome-cli: " + FrenchParseError(e.what()) + ".\nhaliome-cli --help en dit plus.\n";
    });
}

// The subcommands' heading and the kinds of values, once every option is there.
void NameKindsInFrench(CLI::App& app)
{
    for (CLI::App* command : app.get_subcommands({})) {
        command->group("Sous-commandes");
        for (CLI::Option* option : command->get_options()) {
            const std::string kind = option->get_type_name();  // with its validator's values: "TEXT:{m,ft}"
            for (const auto& [english, french] :
                 {std::pair{"TEXT", "TEXTE"}, {"INT", "ENTIER"}, {"FLOAT", "NOMBRE"}})
                if (kind.rfind(english, 0) == 0 && (kind.size() == std::string(english).size() ||
                                                    kind[std::string(english).size()] == ':'))
                    option->type_name(french);
        }
    }
}

// A message box's text without what only the window's user needs to hear:
// a command line keeps nothing in memory from one run to the next.
std::string WithoutWindowNotes(std::string text)
{
    for (const std::string note :
         {"\n\nL'enregistrement en mémoire est conservé.", "\n\nLes ondes en mémoire sont conservées."})
        if (const std::size_t at = text.find(note); at != std::string::npos)
            text.erase(at, note.size());
    return text;
}

// What the program says on the headless backend goes to errors: every
// message box, and any question nobody is there to answer.
void ReportMessagesTo(std::ostream& errors, bool& asked)
{
    headless::Reset();
    headless::SetMessageObserver([&errors](const headless::MessageRecord& box) {
        errors << "haliome-cli: " << box.caption << " : " << WithoutWindowNotes(box.text) << "\n";
    });
    headless::SetUnansweredHandler([&errors, &asked](const std::string& what) {
        errors << "haliome-cli: sans réponse : " << what << "\n";
        asked = true;
    });
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& errors)
{
    CLI::App app{"Les calculs de marée d'Haliome pour les scripts : ondes, heures des marées, hauteurs et annuaires.",
                 "haliome-cli"};
    SpeakFrench(app);
    app.set_version_flag("--version", "haliome-cli " HALIOME_VERSION, "Afficher la version et quitter");
    app.require_subcommand(1);
    Arguments args;
    DescribeCommands(app, args);
    NameKindsInFrench(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e, out, errors);
        return status == 0 ? DONE : BAD_USAGE;
    }
    bool asked = false;
    ReportMessagesTo(errors, asked);
    int status = FILE_FAILED;
    try {
        status = RunCommand(app, args, Streams{out, errors});
    } catch (const std::bad_alloc&) {
        errors << "haliome-cli: la mémoire est épuisée ; rien de plus n'a été fait.\n";
    }
    headless::SetMessageObserver(nullptr);
    headless::SetUnansweredHandler(nullptr);
    if (!out.flush()) {
        errors << "haliome-cli: la sortie standard n'a pas pu être écrite : " << SystemReasonText(errno) << ".\n";
        return FILE_FAILED;
    }
    return asked && status == DONE ? FILE_FAILED : status;
}

bool WriteOutput(const std::string& path, std::string_view bytes, bool text, std::ostream& out)
{
    if (path != STANDARD_OUTPUT)
        return WriteExportFile(path, bytes);
    out << (text ? WithoutCr(bytes) : std::string(bytes));
    return true;
}
