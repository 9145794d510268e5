// The batch scripts: whatever the script, the whole program runs it on the
// headless backend, from start-up to the end, without a crash and without
// undefined behaviour.
#include <cctype>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "shell/script.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The program starts on an empty record, which it cannot fit: start-up then
// costs little. Three days of an M2 of 1.5 m about 3 m wait in "court.TXT"
// for the scripts that import them ("command 261", "file court.TXT"), and
// in "dossier/court.TXT".
constexpr const char* EMPTY_RECORD = "Fuzz\r\n2009\r\n0\r\n\r\n";

std::string ShortRecord()
{
    std::string text = "Court\r\n2009\r\n3\r\n\r\n";
    for (int hour = 0; hour < 72; ++hour)
        text += std::to_string(std::lround(300 + 150 * std::cos(6.283185307179586 * hour / 12.4206012))) + "\r\n";
    return text;
}

// Paths relative to the folder: no '/' at the start of a name, no "..".
bool StaysInFolder(const std::string& script)
{
    for (std::size_t at = script.find('/'); at != std::string::npos; at = script.find('/', at + 1))
        if (at == 0 || !(std::isalnum(static_cast<unsigned char>(script[at - 1])) || script[at - 1] == '_' ||
                         script[at - 1] == '.' || script[at - 1] == '-'))
            return false;
    return script.find("..") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string script(BytesOf(data, size));
    // A kilobyte is a long session. The files a script names are written:
    // only in the harness's own folder, "dossier/court.TXT" among them.
    if (size > 1024 || !StaysInFolder(script))
        return -1;
    // The wide bands of the menu and the bands typed in their dialog sweep
    // thousands to millions of periods, seconds an input: they are the unit
    // tests' business, so that the search goes on at thousands a second.
    for (const char* band : {"1027", "1028", "1029"})
        if (script.find(band) != std::string::npos)
            return -1;
    ResetForInput();
    EmptyFolder();
    WriteInputFile("PORT.TXT", EMPTY_RECORD);
    WriteInputFile("court.TXT", ShortRecord());
    std::filesystem::create_directory("dossier");
    WriteInputFile("dossier/court.TXT", ShortRecord());
    std::ostringstream out, errors;
    RunScript(script, out, errors);
    return 0;
}
