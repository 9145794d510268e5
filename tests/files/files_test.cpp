// What the scenarios of tests/scenarios/files cannot write or show: bytes
// that have no place in a text (a NUL, a line end inside a name, a
// Windows-1252 record file or datum), and the offsets typed as time zones.
#include <gtest/gtest.h>

#include "files/measurements.h"
#include "files/recordfile.h"
#include "files/wavefile.h"
#include "model/port.h"
#include "model/record.h"
#include "platform/headless/headless.h"
#include "tests/support/program_test.h"
#include "tests/support/model_state.h"

namespace {

using FilesTest = ProgramTest;

TEST_F(FilesTest, ANulInANameSurvivesTheWaveFileAndALineEndBecomesABlank)
{
    const std::string port("Port\0nul\n", 9), name("M2\0apr\xC3\xA8s un nul", 17);
    Header.PortName = port;
    AppendWave(WaveOf(12, 1, 0, name));
    AppendWave(WaveOf(12, 1, 0, "deux\rlignes\n"));  // typed in a dialog: the line would end there
    WaveFilePath = "PORT.TID";
    SaveWaveFile();
    Header = FileHeaderValues{};
    WaveSet = WaveTable{};
    ASSERT_TRUE(ReadWaveFile(ReadFile("PORT.TID")));
    EXPECT_EQ(Header.PortName, port);
    ASSERT_EQ(WaveSet.count, 2);
    EXPECT_EQ(WaveSet.waves[0].name, name);
    EXPECT_EQ(WaveSet.waves[1].name, "deux lignes ");
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_NE(headless::Messages()[0].text.find("dans ces désignations :\n - l'onde 2 : deux\rlignes\n"),
              std::string::npos) << headless::Messages()[0].text;
}

// Record files of old are Windows-1252; the program writes UTF-8 ones.
TEST_F(FilesTest, ARecordFilesPortLineThatIsNotUtf8IsReadAsWindows1252)
{
    WriteFile("PORT.TXT", "Saint-Val\xE9ry\r\n2004\r\n0\r\n\r\n");
    LoadRecordFile();
    EXPECT_EQ(Header.PortName, "Saint-Valéry\n");
    EXPECT_TRUE(headless::Messages().empty());
}

// A gauge file's datum that is not UTF-8 is Windows-1252, as its station's
// name: the record file that keeps it reads it back.
TEST_F(FilesTest, AnImportedDatumNameThatIsNotUtf8IsReadAsWindows1252)
{
    WriteFile("mesures.txt", "time,height (m)\n2016-01-01T06:00:00Z,1.30\n2016-01-01T07:00:00Z,1.25\n");
    ImportChoices choices;
    choices.port.datumName = "Z\xE9ro marin";
    ImportedRecord r;
    std::string message;
    ASSERT_TRUE(ImportMeasurementFile("mesures.txt", choices, r, message)) << message;
    EXPECT_EQ(r.datumName, "Zéro marin");
}

TEST_F(FilesTest, ZonesReadBackFromTheirTextAndNothingPastFourteenHours)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"UTC", 0}, {"utc+01:00", 60}, {"+1", 60}, {"-5", -300}, {"5.5", 330}, {"GMT -03:30", -210},
        {"Z", 0}, {"UTC+14", 840}, {"+14:30", std::nullopt}, {"1h", std::nullopt}, {"", std::nullopt},
        {"+-1", std::nullopt}, {"1:5", std::nullopt}, {"5.25", 315}, {"0.01", std::nullopt},
    };
    for (const auto& [text, minutes] : cases)
        EXPECT_EQ(ZoneFromText(text), minutes) << text;
    for (int minutes : {0, 60, -300, 330, -210, 840})
        EXPECT_EQ(ZoneFromText(ZoneText(minutes)), minutes) << ZoneText(minutes);
}

}  // namespace
