#include "shell/cli.h"

#include <CLI/CLI.hpp>

#include <ctime>
#include <optional>
#include <string>

#include "analysis/knownwaves.h"
#include "base/calendar.h"
#include "base/text.h"
#include "exports/exportfile.h"
#include "exports/formats.h"
#include "exports/pages.h"
#include "exports/pdf.h"
#include "exports/tides.h"
#include "model/port.h"
#include "files/measurements.h"
#include "files/recordfile.h"
#include "files/wavefile.h"
#include "model/modeloptions.h"
#include "platform/headless/headless.h"
#include "shell/app.h"
#include "shell/commands.h"

namespace {

// Exit statuses.
constexpr int DONE = 0;
constexpr int FILE_FAILED = 1;
constexpr int BAD_USAGE = 2;

struct Arguments {
    std::string input;
    std::string output;
    std::string from, to;
    std::string format;
    std::string zone, unit;  // of a gauge file that does not state them
    bool known = false;
    bool shallow = false;
    bool nodal = false;
    bool utc = false;
    int stepMinutes = 0;
    int year = 0;
};

struct Streams {
    std::ostream& out;
    std::ostream& errors;
};

// ---- Dates -----------------------------------------------------------------------

// The time a date names; a date alone is its midnight, or the next one when
// it ends a period (endOfDay). Nothing for a text of another form or a date
// that does not exist.
std::optional<CalendarTime> TimeOfDate(const std::string& text, Clock clock, bool endOfDay)
{
    IsoFields when;
    const std::size_t taken = IsoDateTimeAtStart(text, when);
    const bool dateOrMinute = !when.hasTime || (when.separator == 'T' && !when.hasSeconds && !when.offsetMinutes);
    if (taken == 0 || taken != text.size() || !dateOrMinute)  // YYYY-MM-DD or YYYY-MM-DDTHH:MM only
        return std::nullopt;
    const auto year = static_cast<long>(when.date.year);
    const auto month = static_cast<int>(when.date.month - 1), day = static_cast<int>(when.date.day);
    std::optional<CalendarTime> t = ClockTime(clock, year, month, day, when.hour, when.minute);
    if (!t || TimeOn(clock, *t).tm_mday != day)  // a day the local clock skipped
        return std::nullopt;
    if (!when.hasTime && endOfDay)
        return ClockTime(clock, year, month, day + 1, 0, 0);
    return t;
}

std::optional<TimeSpan> SpanOrSay(const Arguments& args, std::ostream& errors)
{
    const Clock clock = args.utc ? Clock::Utc : Clock::Local;
    std::optional<CalendarTime> from = TimeOfDate(args.from, clock, false);
    std::optional<CalendarTime> to = TimeOfDate(args.to, clock, true);
    const char* shape = "a date YYYY-MM-DD or a date and time YYYY-MM-DDTHH:MM";
    if (!from)
        errors << "haliome-cli: --from " << args.from << ": expected " << shape << "\n";
    else if (!to)
        errors << "haliome-cli: --to " << args.to << ": expected " << shape << "\n";
    else if (*to <= *from)
        errors << "haliome-cli: --to must come after --from\n";
    else
        return TimeSpan{*from, *to};
    return std::nullopt;
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

// A gauge file to an hourly record file, as the import dialog does it: the
// description of what was read goes to the output.
int Import(const Arguments& args, Streams io)
{
    std::optional<ImportChoices> choices = ChoicesOrSay(args, io.errors);
    if (!choices)
        return BAD_USAGE;
    ImportedRecord record;
    std::string message;
    if (!ImportMeasurementFile(args.input, *choices, record, message)) {
        io.errors << "haliome-cli: " << message << "\n";
        return FILE_FAILED;
    }
    io.out << record.description << "\n";
    const std::string text = RecordFileText(record.portLine, record.year, record.days, record.values);
    return WriteExportFile(args.output, WithCrLf(text)) ? DONE : FILE_FAILED;
}

// The start-up of the window: the record, its mean level and the five listed
// waves; then, when asked, every known wave as "Toutes ondes connues" adds them.
int Fit(const Arguments& args, Streams io)
{
    if (!CanReadOrSay(args.input, io.errors))
        return FILE_FAILED;
    RecordFilePath = args.input;
    if (!DetermineStartModel())
        return FILE_FAILED;
    DetermineListedWaves();
    if (args.known)
        AddAllKnownWaves();
    if (args.shallow)
        AddAllShallowWaterWaves();
    return WriteExportFile(args.output, WaveFileBytes()) ? DONE : FILE_FAILED;
}

int Tides(const Arguments& args, Streams io)
{
    std::optional<TimeSpan> span = SpanOrSay(args, io.errors);
    if (!span)
        return BAD_USAGE;
    if (!LoadWaveFile(args.input, io.errors))
        return FILE_FAILED;
    std::optional<std::vector<Tide>> tides = TidesIn(*span);
    if (!tides) {
        io.errors << "haliome-cli: the period cannot be converted to local months\n";
        return BAD_USAGE;
    }
    const Clock clock = args.utc ? Clock::Utc : Clock::Local;
    if (args.format == "csv")
        io.out << TidesCsv(*tides, clock);
    else if (args.format == "ics")
        io.out << TidesICalendar(*tides, PortName(), TimeNow());
    else if (args.format == "json")
        io.out << TidesJson(*tides, PortName(), clock);
    else
        io.out << TidesText(*tides, PortName(), clock);
    return DONE;
}

int Predict(const Arguments& args, Streams io)
{
    std::optional<TimeSpan> span = SpanOrSay(args, io.errors);
    if (!span)
        return BAD_USAGE;
    if (!LoadWaveFile(args.input, io.errors))
        return FILE_FAILED;
    const Clock clock = args.utc ? Clock::Utc : Clock::Local;
    const std::vector<GridHeight> heights = HeightsOnGrid(*span, args.stepMinutes * 60L);
    io.out << (args.format == "json" ? HeightsJson(heights, PortName(), clock) : HeightsCsv(heights, clock));
    return DONE;
}

int Pdf(const Arguments& args, Streams io)
{
    if (!SpanOf(args.year, WHOLE_YEAR)) {
        io.errors << "haliome-cli: the year " << args.year << " cannot be converted to dates\n";
        return BAD_USAGE;
    }
    if (!LoadWaveFile(args.input, io.errors))
        return FILE_FAILED;
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
    command->add_flag("--nodal", args.nodal, "Apply the nodal corrections (\"Corrections nodales\")");
}

void DescribeCommands(CLI::App& app, Arguments& args)
{
    CLI::App* import = app.add_subcommand("import", "Turn a tide gauge's file into an hourly record file");
    import->add_option("FILE", args.input, "UHSLC, GESLA, NOAA CO-OPS, DIA or dated text file")->required();
    import->add_option("-o,--output", args.output, "Hourly record file to write (.TXT)")->required();
    import->add_option("--zone", args.zone, "The file's clock when it does not say, e.g. UTC, +1, -05:30");
    import->add_option("--unit", args.unit, "The heights' unit when the file does not say")
        ->check(CLI::IsMember({"m", "cm", "mm", "ft"}));

    CLI::App* fit = app.add_subcommand("fit", "Fit the start-up waves to an hourly record and save them");
    fit->add_option("RECORD", args.input, "Hourly record file (.TXT)")->required();
    fit->add_option("-o,--output", args.output, "Wave file to write (.TID)")->required();
    fit->add_flag("--known", args.known, "Then fit every known wave as well");
    fit->add_flag("--shallow", args.shallow, "Then fit the shallow-water waves as well");
    AddNodalOption(fit, args);

    CLI::App* tides = app.add_subcommand("tides", "High and low waters of a period");
    tides->add_option("WAVES", args.input, "Wave file (.TID)")->required();
    AddPeriodOptions(tides, args);
    AddNodalOption(tides, args);
    tides->add_option("--format", args.format, "text, csv, ics or json")
        ->check(CLI::IsMember({"text", "csv", "ics", "json"}))
        ->default_str("text");

    CLI::App* predict = app.add_subcommand("predict", "Predicted heights on a regular grid");
    predict->add_option("WAVES", args.input, "Wave file (.TID)")->required();
    AddPeriodOptions(predict, args);
    AddNodalOption(predict, args);
    predict->add_option("--step", args.stepMinutes, "Minutes between two heights")
        ->required()
        ->check(CLI::Range(1, 1000000));
    predict->add_option("--format", args.format, "csv or json")
        ->check(CLI::IsMember({"csv", "json"}))
        ->default_str("csv");

    CLI::App* pdf = app.add_subcommand("pdf", "Printable tide tables of a year, a month a page");
    pdf->add_option("WAVES", args.input, "Wave file (.TID)")->required();
    pdf->add_option("--year", args.year, "The year of the tables")->required();
    pdf->add_option("-o,--output", args.output, "PDF file to write")->required();
    AddNodalOption(pdf, args);
}

int RunCommand(const CLI::App& app, const Arguments& args, Streams io)
{
    Model.NodalCorrections = args.nodal ? 1 : 0;
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
    int status = RunCommand(app, args, Streams{out, errors});
    headless::SetMessageObserver(nullptr);
    headless::SetUnansweredHandler(nullptr);
    return asked && status == DONE ? FILE_FAILED : status;
}
