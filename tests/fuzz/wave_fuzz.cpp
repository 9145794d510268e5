// The wave file: whatever its bytes, the file is refused leaving the model
// as it was, or it loads, draws, saves without a word, and reads back to the
// same model: the same port, year and names, and the same text once saved
// again (the numbers as the format rounds them).
#include <optional>
#include <vector>

#include "base/text.h"
#include "files/wavefile.h"
#include "model/port.h"
#include "model/waves.h"
#include "platform/headless/headless.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

struct Reading {
    std::string port;
    std::int32_t year = 0;
    std::vector<std::string> names;
    std::string text;
    bool operator==(const Reading&) const = default;
};

Reading Current()
{
    Reading r{Header.PortName, Header.StartYear, {}, WaveFileText()};
    for (int i = 0; i < WaveSet.count; ++i)
        r.names.push_back(WaveSet.waves[i].name);
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ResetForInput();
    WaveFilePath = "fuzz.TID";
    const Reading before = Current();
    if (!ReadWaveFile(BytesOf(data, size))) {
        Require(Current() == before, "a refused file changes nothing");
        return 0;
    }
    PaintChart(1);
    const Reading first = Current();
    headless::Reset();
    SaveWaveFile();
    const std::optional<std::string> saved = ReadFileBytes(WaveFilePath);
    Require(saved.has_value() && headless::Messages().empty(), "a model read from a file saves without a word");
    WaveSet = WaveTable{};
    Header = FileHeaderValues{};
    Require(ReadWaveFile(*saved) && headless::Messages().empty(), "a saved file reads back without a word");
    Require(Current() == first, "saving then reading back gives the same model");
    return 0;
}
