// The gauge files: whatever their bytes and the choices typed beside them
// (the file's zone and unit, the port's zone and datum, picked by the last
// byte), the import refuses them with a message that names the file, or
// gives an hourly record of the right shape that installs, draws, and saves
// as a record file that reads back to the same heights, port, zone and datum
// without a word.
#include <algorithm>
#include <cmath>

#include "base/savefile.h"
#include "base/text.h"
#include "files/measurements.h"
#include "files/recordfile.h"
#include "model/port.h"
#include "model/record.h"
#include "platform/headless/headless.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartFuzzing();
    return 0;
}

namespace {

// Every day spanned costs 24 values whatever the file's size: the round trip
// through the record file is left out beyond a leap year and a month, to
// keep thousands of inputs a second. The reading and the shape are checked
// for every span.
constexpr std::int32_t MAX_ROUND_TRIP_DAYS = 400;

// What the import dialog lets the user type, as one byte chooses it: the
// zone and unit of a file that does not state them, the port's zone (one a
// whole hour from UTC, one not) and its datum.
ImportChoices ChoicesOf(std::uint8_t byte)
{
    constexpr std::optional<int> ZONES[] = {std::nullopt, 0, 60, -330, 345};
    constexpr std::optional<HeightUnit> UNITS[] = {std::nullopt, HeightUnit::Metre, HeightUnit::Centimetre,
                                                   HeightUnit::Millimetre, HeightUnit::Foot};
    const char* const PORT_ZONES[] = {"", "UTC", "Europe/Paris", "Asia/Kolkata", "America/St_Johns"};
    ImportChoices c{ZONES[byte % 5], UNITS[byte / 5 % 5], {PORT_ZONES[byte / 25 % 5], "", {}, {}, {}, {}}};
    if (byte >= 125)
        c.port.datumName = "Chart Datum";
    if (byte >= 190)
        c.port.datumOffset = 2.78;
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ResetForInput();
    WriteInputFile("mesures.txt", BytesOf(data, size));
    ImportedRecord r;
    std::string message;
    if (!ImportMeasurementFile("mesures.txt", size ? ChoicesOf(data[size - 1]) : ImportChoices{}, r, message)) {
        Require(message.find("« mesures.txt »") != std::string::npos, "a refusal names the file");
        return 0;
    }
    Require(r.days >= 1 && r.days <= MAX_RECORD_DAYS, "a day count within its limits");
    Require(r.values.size() == static_cast<std::size_t>(r.days) * 24 + 1, "24 values a day and the spare one");
    const auto missing = std::count(r.values.begin(), r.values.end() - 1, MISSING_HEIGHT_CM);
    Require(missing == r.missingHours && missing < r.days * 24, "the missing hours counted, and one hour measured");
    Require(r.portLine.ends_with('\n') && r.portLine.find_first_of("\r\n") == r.portLine.size() - 1 &&
                IsValidUtf8(r.portLine) && FirstChars(r.portLine, PORT_NAME_CHARS).size() + 1 >= r.portLine.size(),
            "a port line of one line of at most 99 characters");
    if (r.days > MAX_ROUND_TRIP_DAYS)
        return 0;

    InstallImportedRecord(r);
    PaintChart(2);
    const std::vector<std::int32_t> installed = RecordSeries.RecordValues;  // the spare value set
    std::string why;
    const std::string portLines = RecordPortLines(r.zone, r.datumName, r.datumOffset, true);
    Require(SaveFileBytes("releve.TXT",
                          WithCrLf(RecordFileText(Header.PortName, Header.StartYear, r.days, r.values, portLines)), why),
            "the record file written");
    RecordSeries = HourlyRecord{};
    Header = FileHeaderValues{};
    RecordFilePath = "releve.TXT";
    headless::Reset();
    Require(LoadRecordFile() && headless::Messages().empty(), "the saved record reads back without a word");
    Require(RecordSeries.RecordValues == installed && Header.PortName == r.portLine && Header.StartYear == r.year,
            "the saved record reads back to the same heights, port and year");
    Require(Header.TimeZone == r.zone && Header.DatumName == r.datumName &&
                Header.DatumOffset.has_value() == r.datumOffset.has_value() &&
                (!r.datumOffset || std::fabs(*Header.DatumOffset - *r.datumOffset) <= 5e-7),  // written with 6 decimals
            "the saved record reads back to the same zone and datum");
    return 0;
}
