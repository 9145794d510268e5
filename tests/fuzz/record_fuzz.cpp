// The hourly record file: whatever its bytes, the file is refused leaving
// the record as it was, or it loads as a record of the right shape, and the
// chart draws it.
#include <cmath>

#include "base/text.h"
#include "files/recordfile.h"
#include "model/port.h"
#include "model/record.h"
#include "model/waves.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartFuzzing();
    return 0;
}

namespace {

// Every day announced costs 24 values whatever the file's size: records of
// more than a leap year and a month are left out, to keep thousands of
// inputs a second. The limits of the day count are the unit tests' business.
constexpr long MAX_FUZZED_DAYS = 400;

long DaysAnnounced(std::string_view bytes)
{
    TextReader in = ReaderOf(bytes);
    ReadWholeLine(in);
    long year = 0, days = 0;
    return ScanInt(in, year) && ScanInt(in, days) ? days : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (DaysAnnounced(BytesOf(data, size)) > MAX_FUZZED_DAYS)
        return -1;
    ResetForInput();
    WriteInputFile("PORT.TXT", BytesOf(data, size));
    const bool read = LoadRecordFile();
    const HourlyRecord& r = RecordSeries;
    Require(r.RecordDays >= 0 && r.RecordDays <= MAX_RECORD_DAYS, "a day count within its limits");
    Require(r.RecordCount == 24 * r.RecordDays && r.RecordValues.size() == static_cast<std::size_t>(r.RecordCount) + 1,
            "24 values a day and the spare one");
    if (!read) {
        Require(r.RecordValues == HourlyRecord{}.RecordValues && Header.PortName == FileHeaderValues{}.PortName,
                "a refused file changes nothing");
        return 0;
    }
    Require(std::isfinite(WaveSet.MeanLevel), "a finite mean level");
    Require(Header.PortName.find('\r') == std::string::npos && !Header.PortName.starts_with("\xEF\xBB\xBF"),
            "no carriage return nor byte-order mark in the port name");
    PaintChart(3);
    return 0;
}
