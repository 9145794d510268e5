#include "shell/cli.h"

#include <CLI/CLI.hpp>

#include <cstdint>
#include <ctime>
#include <new>
#include <optional>
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
#include "model/port.h"
#include "files/measurements.h"
#include "files/recordfile.h"
#include "files/station.h"
#include "files/wavefile.h"
#include "model/modeloptions.h"
#include "model/port.h"
#include "platform/headless/headless.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/stationcommands.h"

namespace {

// Exit statuses.
constexpr int DONE = 0;
constexpr int FILE_FAILED = 1;
constexpr int BAD_USAGE = 2;

// Bounds of the work a command line may ask for, checked before it starts.
constexpr std::int64_t MAX_SPAN_SECONDS = std::int64_t{36525} * 86400;  // a century
constexpr std::int64_t MAX_GRID_HEIGHTS = 5000000;  // predict: about ten years at one-minute steps

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

std::optional<TimeSpan> SpanOrSay(const Arguments& args, std::ostream& errors)
{
    const Clock clock = args.utc ? Clock::Utc : Clock::Local;
    std::optional<CalendarTime> from = TimeOfIsoDate(args.from, clock, false);
    std::optional<CalendarTime> to = TimeOfIsoDate(args.to, clock, true);
    const char* shape = "a date YYYY-MM-DD or a date and time YYYY-MM-DDTHH:MM";
    if (!from)
        errors << "haliome-cli: --from " << args.from << ": expected " << shape << "\n";
    else if (!to)
        errors << "haliome-cli: --to " << args.to << ": expected " << shape << "\n";
    else if (*to <= *from)
        errors << "haliome-cli: --to must come after --from\n";
    else if (*to - *from > MAX_SPAN_SECONDS)
        errors << "haliome-cli: --from to --to spans more than a century (36525 days)\n";
    else
        return TimeSpan{*from, *to};
    return std::nullopt;
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
           << ": expected the datum's name, then = and the height of the mean level above it in metres "
              "(Chart Datum=2.78)\n";
    return false;
}

// The zone the port needs is one the system knows: a port without its own
// is on the computer's, which TZ may name wrongly.
bool ClockKnownOrSay(std::ostream& errors)
{
    if (!Header.TimeZone.empty() || ComputerZoneKnown())
        return true;
    errors << "haliome-cli: TZ=" << ComputerZoneName()
           << " names no time zone that the system knows, and the port names none: give the port's with --tz\n";
    return false;
}

// The port as read from its file, with what the command line sets: --tz
// (the model's instants kept, as the window's port dialog does) and --datum.
int AdjustPortOrSay(const Arguments& args, std::ostream& errors)
{
    std::string why;
    if (!args.tz.empty() && args.tz != Header.TimeZone && !SetPortZone(args.tz, why)) {
        errors << "haliome-cli: --tz " << args.tz << ": " << why << "\n";
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
    errors << "haliome-cli: cannot read " << path << "\n";
    return false;
}

// A wave file that is refused has been explained by its message.
bool LoadWaveFile(const std::string& path, std::ostream& errors)
{
    std::optional<std::string> bytes = ReadFileBytes(path, MAX_WAVE_FILE_BYTES);
    if (!bytes) {
        errors << "haliome-cli: cannot read " << path << "\n";
        return false;
    }
    if (bytes->size() > MAX_WAVE_FILE_BYTES) {
        errors << "haliome-cli: " << path << " is larger than a wave file can be (" << (MAX_WAVE_FILE_BYTES >> 20)
               << " MiB)\n";
        return false;
    }
    WaveFilePath = path;
    return ReadWaveFile(*bytes);
}

// The wave file, or the station of --station for year.
bool LoadPort(const Arguments& args, int year, bool heightsNeeded, std::ostream& errors)
{
    if (!args.station.empty())
        return LoadStationPort(args.station, year, heightsNeeded, errors);
    if (args.input.empty()) {
        errors << "haliome-cli: a wave file or --station STATION is needed\n";
        return false;
    }
    ForgetCurrentStation();
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

// The zone and unit given for a gauge file that does not state its own.
std::optional<ImportChoices> ChoicesOrSay(const Arguments& args, std::ostream& errors)
{
    ImportChoices choices;
    if (!args.zone.empty()) {
        choices.zoneMinutes = ZoneFromText(args.zone);
        if (!choices.zoneMinutes) {
            errors << "haliome-cli: --zone " << args.zone << ": expected an offset such as UTC, +1 or -05:30\n";
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
    if (!args.from.empty() && !(port.from = TimeOfIsoDate(args.from, Clock::Local, false)))
        errors << "haliome-cli: --from " << args.from << ": expected a date YYYY-MM-DD or a date and time "
               << "YYYY-MM-DDTHH:MM\n";
    else if (!args.to.empty() && !(port.to = TimeOfIsoDate(args.to, Clock::Local, true)))
        errors << "haliome-cli: --to " << args.to << ": expected a date YYYY-MM-DD or a date and time "
               << "YYYY-MM-DDTHH:MM\n";
    else if (port.from && port.to && *port.to <= *port.from)
        errors << "haliome-cli: --to must come after --from\n";
    else
        return port.zone.empty() ? ClockKnownOrSay(errors) : true;
    return false;
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
    io.out << record.description << PortFactsOf(record) << "\n";
    const std::string text = RecordFileText(record.portLine, record.year, record.days, record.values,
                                            RecordPortLines(record.zone, record.datumName, record.datumOffset, true));
    return WriteExportFile(args.output, WithCrLf(text)) ? DONE : FILE_FAILED;
}

// The start-up of the window: the record, its mean level and the five listed
// waves; then, when asked, every known wave as "Toutes ondes connues" adds them.
// Jointly, the analysis of the known waves (and the shallow-water ones)
// takes their place, and its report goes to the output.
int Fit(const Arguments& args, Streams io)
{
    if (!CanReadOrSay(args.input, io.errors))
        return FILE_FAILED;
    RecordFilePath = args.input;
    if (!DetermineStartModel())
        return FILE_FAILED;
    if (const int status = AdjustPortOrSay(args, io.errors); status != DONE)
        return status;
    if (args.joint) {
        const std::optional<std::string> report =
            RunJointAnalysis(args.shallow ? JointSet::KnownAndShallow : JointSet::Known, args.rayleigh);
        if (!report)
            return FILE_FAILED;  // said by its message
        io.out << *report;
        return WriteExportFile(args.output, WaveFileBytes()) ? DONE : FILE_FAILED;
    }
    DetermineListedWaves();
    if (args.known)
        AddAllKnownWaves();
    if (args.shallow)
        AddAllShallowWaterWaves();
    if (!WriteExportFile(args.output, WaveFileBytes()))
        return FILE_FAILED;
    return args.compare.empty() ? DONE : CompareWithStation(args.compare, io.out, io.errors);
}

// The wave file or the station, the port as the command line adjusts it,
// and the period on the port's clock. The dates are checked before the file
// is read, so that a mistake of the command line is said first.
int LoadPortAndSpan(const Arguments& args, bool heightsNeeded, std::ostream& errors, std::optional<TimeSpan>& span)
{
    span = SpanOrSay(args, errors);
    if (!span)
        return BAD_USAGE;
    if (!LoadPort(args, YearOf(span->from, args.utc ? Clock::Utc : Clock::Local), heightsNeeded, errors))
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
    if (const int status = LoadPortAndSpan(args, false, io.errors, span); status != DONE)
        return status;
    std::optional<std::vector<Tide>> tides = PortTidesIn(*span);
    if (!tides) {
        io.errors << "haliome-cli: the period cannot be converted to local months\n";
        return BAD_USAGE;
    }
    const ExportForm form = FormOf(args);
    if (args.format == "csv")
        io.out << TidesCsv(*tides, form);
    else if (args.format == "ics")
        io.out << TidesICalendar(*tides, PortName(), TimeNow());
    else if (args.format == "json")
        io.out << TidesJson(*tides, PortName(), form);
    else {
        // A station's note (offsets, licence) follows the banner.
        std::string text = TidesText(*tides, form);
        if (const std::string note = PortTablesNote(); !note.empty())
            text.insert(text.find('\n') + 1, note + "\r\n");
        io.out << text;
    }
    return DONE;
}

int Predict(const Arguments& args, Streams io)
{
    std::optional<TimeSpan> span;
    if (const int status = LoadPortAndSpan(args, true, io.errors, span); status != DONE)
        return status;
    if ((span->to - span->from) / (args.stepMinutes * 60L) >= MAX_GRID_HEIGHTS) {
        io.errors << "haliome-cli: --step " << args.stepMinutes << " gives more than " << MAX_GRID_HEIGHTS
                  << " heights over the period: take a longer step or a shorter period\n";
        return BAD_USAGE;
    }
    const ExportForm form = FormOf(args);
    const std::vector<GridHeight> heights = HeightsOnGrid(*span, args.stepMinutes * 60L);
    if (args.format == "json")
        io.out << HeightsJson(heights, PortName(), form);
    else if (args.format == "text")
        io.out << HeightsText(heights, form);
    else
        io.out << HeightsCsv(heights, form);
    return DONE;
}

int Pdf(const Arguments& args, Streams io)
{
    if (!SpanOf(args.year, WHOLE_YEAR)) {
        io.errors << "haliome-cli: the year " << args.year << " cannot be converted to dates\n";
        return BAD_USAGE;
    }
    if (!LoadPort(args, args.year, true, io.errors))
        return FILE_FAILED;
    if (const int status = AdjustPortOrSay(args, io.errors); status != DONE)
        return status;
    ChooseNodalCorrections(args, args.year, args.year);
    std::optional<std::vector<TablePage>> pages = TablePages(args.year, WHOLE_YEAR);
    std::optional<std::string> pdf = pages ? PdfOfPages(*pages, "Annuaire des marées " + PortName()) : std::nullopt;
    return pdf && WriteExportFile(args.output, *pdf) ? DONE : FILE_FAILED;  // a failure has been said
}

// ---- The command line ------------------------------------------------------------

void AddPeriodOptions(CLI::App* command, Arguments& args)
{
    command->add_option("--from", args.from, "First date, YYYY-MM-DD or YYYY-MM-DDTHH:MM")->required();
    command->add_option("--to", args.to, "Last date (a date alone takes in the whole day)")->required();
    command->add_flag("--utc", args.utc, "Dates in UTC rather than on the local clock (TZ)");
}

void AddNodalOption(CLI::App* command, Arguments& args)
{
    CLI::Option* on = command->add_flag(
        "--nodal", args.nodal,
        "Apply the nodal corrections (\"Corrections nodales\"); without it or --no-nodal, tides, predict and pdf "
        "apply them when a date falls outside the wave set's year");
    command->add_flag("--no-nodal", args.noNodal, "Do not apply the nodal corrections")->excludes(on);
}

// The port's clock and datum, which files may name and the command line sets.
void AddPortOptions(CLI::App* command, Arguments& args)
{
    command->add_option("--tz", args.tz, "The port's time zone, an IANA name such as Europe/Amsterdam");
    command->add_option("--datum", args.datum,
                        "The datum heights are given above: NAME, or NAME=OFFSET with the mean level OFFSET m "
                        "above it");
}

void AddUnitsOption(CLI::App* command, Arguments& args)
{
    command->add_option("--units", args.units, "Heights in metres (m) or feet (ft)")
        ->check(CLI::IsMember({"m", "ft"}))
        ->default_str("m");
}

void DescribeCommands(CLI::App& app, Arguments& args)
{
    CLI::App* import = app.add_subcommand("import", "Turn a tide gauge's file into an hourly record file");
    import->add_option("FILE", args.input, "UHSLC, GESLA, NOAA CO-OPS, DIA, MEDS, BOM, NOOS or dated text file")->required();
    import->add_option("-o,--output", args.output, "Hourly record file to write (.TXT)")->required();
    import->add_option("--zone", args.zone, "The file's clock when it does not say, e.g. UTC, +1, -05:30");
    import->add_option("--unit", args.unit, "The heights' unit when the file does not say")
        ->check(CLI::IsMember({"m", "cm", "mm", "ft"}));
    import->add_option("--name", args.name, "The port's name, where the file names no station");
    import->add_option("--from", args.from, "Keep the measurements from this date (the port's clock)");
    import->add_option("--to", args.to, "Keep them to this date (a date alone takes in the whole day)");
    AddPortOptions(import, args);

    CLI::App* fit = app.add_subcommand("fit", "Fit the start-up waves to an hourly record and save them");
    fit->add_option("RECORD", args.input, "Hourly record file (.TXT)")->required();
    fit->add_option("-o,--output", args.output, "Wave file to write (.TID)")->required();
    fit->add_flag("--known", args.known, "Then fit every known wave as well");
    fit->add_flag("--shallow", args.shallow, "Then fit the shallow-water waves as well");
    fit->add_flag("--joint", args.joint,
                  "Fit the known waves (and with --shallow the shallow-water ones) all at once, in place of the "
                  "start-up's, and print the analysis");
    fit->add_option("--rayleigh", args.rayleigh, "With --joint: the Rayleigh number (1 unless given)")
        ->check(CLI::Range(0.0, 100.0))
        ->needs("--joint");
    fit->add_option("--compare", args.compare, "Set the fitted waves beside a station's published constants");
    AddNodalOption(fit, args);
    AddPortOptions(fit, args);

    CLI::App* tides = app.add_subcommand("tides", "High and low waters of a period");
    tides->add_option("WAVES", args.input, "Wave file (.TID)");
    tides->add_option("--station", args.station, "A station of the catalogue (id or name) instead of a wave file");
    AddPeriodOptions(tides, args);
    AddNodalOption(tides, args);
    AddPortOptions(tides, args);
    AddUnitsOption(tides, args);
    tides->add_option("--format", args.format, "text, csv, ics or json")
        ->check(CLI::IsMember({"text", "csv", "ics", "json"}))
        ->default_str("text");

    CLI::App* predict = app.add_subcommand("predict", "Predicted heights on a regular grid");
    predict->add_option("WAVES", args.input, "Wave file (.TID)");
    predict->add_option("--station", args.station, "A station of the catalogue (id or name) instead of a wave file");
    AddPeriodOptions(predict, args);
    AddNodalOption(predict, args);
    AddPortOptions(predict, args);
    AddUnitsOption(predict, args);
    predict->add_option("--step", args.stepMinutes, "Minutes between two heights")
        ->required()
        ->check(CLI::Range(1, 1000000));
    predict->add_option("--format", args.format, "csv, json or text")
        ->check(CLI::IsMember({"csv", "json", "text"}))
        ->default_str("csv");

    CLI::App* pdf = app.add_subcommand("pdf", "Printable tide tables of a year, a month a page");
    pdf->add_option("WAVES", args.input, "Wave file (.TID)");
    pdf->add_option("--station", args.station, "A station of the catalogue (id or name) instead of a wave file");
    pdf->add_option("--year", args.year, "The year of the tables")->required();
    pdf->add_option("-o,--output", args.output, "PDF file to write")->required();
    AddNodalOption(pdf, args);
    AddPortOptions(pdf, args);

    DescribeStationCommands(app, args.stations);
}

int RunCommand(const CLI::App& app, const Arguments& args, Streams io)
{
    Model.NodalCorrections = args.nodal ? 1 : 0;
    if (!args.tz.empty() && !IsKnownZone(args.tz)) {
        io.errors << "haliome-cli: --tz " << args.tz
                  << ": the system knows no such time zone (an IANA name such as Europe/Paris is expected)\n";
        return BAD_USAGE;
    }
    std::string datumName;
    std::optional<double> offset;
    if (!args.datum.empty() && !DatumOrSay(args, datumName, offset, io.errors))
        return BAD_USAGE;
    if (!args.output.empty() && NamesSameFile(args.output, args.input)) {
        io.errors << "haliome-cli: -o " << args.output << " is " << args.input << ", which it would replace\n";
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

// What the program says on the headless backend goes to errors: every
// message box, and any question nobody is there to answer.
void ReportMessagesTo(std::ostream& errors, bool& asked)
{
    headless::Reset();
    headless::SetMessageObserver([&errors](const headless::MessageRecord& box) {
        errors << "haliome-cli: " << box.caption << ": " << box.text << "\n";
    });
    headless::SetUnansweredHandler([&errors, &asked](const std::string& what) {
        errors << "haliome-cli: unanswered " << what << "\n";
        asked = true;
    });
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& errors)
{
    CLI::App app{"Haliome's tide computations for scripts: fits, tide times, heights and printable tables.",
                 "haliome-cli"};
    app.set_version_flag("--version", "haliome-cli " HALIOME_VERSION);
    app.require_subcommand(1);
    Arguments args;
    DescribeCommands(app, args);
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
        errors << "haliome-cli: the memory ran out; nothing more was done\n";
    }
    headless::SetMessageObserver(nullptr);
    headless::SetUnansweredHandler(nullptr);
    return asked && status == DONE ? FILE_FAILED : status;
}
