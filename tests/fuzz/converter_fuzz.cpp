// The tide-times converter: whatever the source, the conversion is refused
// without writing a record, or the record it writes reads back without a
// word, with the days it announced.
#include <filesystem>

#include "base/text.h"
#include "files/converter.h"
#include "files/recordfile.h"
#include "model/record.h"
#include "platform/headless/headless.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Every day of the source costs 24 output hours whatever its size: sources of
// more than a leap year and a month are left out, to keep thousands of
// inputs a second.
constexpr long MAX_FUZZED_DAYS = 400;

long DaysAnnounced(std::string_view source)
{
    TextReader in = ReaderOf(source);
    ReadWholeLine(in);
    ReadWholeLine(in);
    long days = 0;
    return ScanInt(in, days) ? days : 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view source = BytesOf(data, size);
    const long days = DaysAnnounced(source);
    if (days > MAX_FUZZED_DAYS)
        return -1;
    ResetForInput();
    std::filesystem::remove(CONVERTER_OUTPUT_FILE);
    WriteInputFile(CONVERTER_SOURCE_FILE, source);
    headless::QueueAnswer(MessageAnswer::Yes);
    ConvertTideTimes();
    const std::string said = headless::Messages().back().text;
    if (!said.starts_with("Conversion terminée")) {
        Require(!std::filesystem::exists(CONVERTER_OUTPUT_FILE), "a refused source writes no record");
        return 0;
    }
    const std::size_t shown = headless::Messages().size();
    RecordFilePath = CONVERTER_OUTPUT_FILE;
    LoadRecordFile();
    Require(headless::Messages().size() == shown, "the record written reads back without a word");
    Require(RecordSeries.RecordDays == days, "the record has the days announced");
    return 0;
}
