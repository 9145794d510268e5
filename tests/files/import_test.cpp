// The import of gauge files: the real samples of each format beside the
// project, files that state a time zone against the same data in UTC, the
// refusals, the dialog, and the record saved and read back. The tests run in
// Paris, whose standard time is UTC+1: a height at 00:00 UTC lands on hour 1.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "analysis/knownwaves.h"
#include "base/log.h"
#include "base/text.h"
#include "files/importdialog.h"
#include "files/measurements.h"
#include "files/recordfile.h"
#include "model/port.h"
#include "model/record.h"
#include "model/waves.h"
#include "platform/headless/headless.h"
#include "tests/support/full_disk.h"
#include "tests/support/program_test.h"

namespace {

using Action = headless::DialogAction;

class ImportTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        OpenLog();
        welcome = LogContents().size();
    }
    std::string NewLog() { return LogContents().substr(welcome); }
    std::size_t welcome = 0;
};

ImportedRecord Imported(const std::string& path, ImportChoices choices = {})
{
    ImportedRecord record;
    std::string message;
    EXPECT_TRUE(ImportMeasurementFile(path, choices, record, message)) << message;
    return record;
}

// Heights read by hand from the files; the hour is counted from 00:00 on
// 1 January, Paris standard time, of the first year measured.
struct HourHeight {
    int hour;
    std::int32_t cm;
};

struct Sample {
    const char* file;
    const char* format;
    const char* station;
    const char* values;
    const char* first;
    const char* last;
    const char* interval;
    const char* zone;
    const char* unit;
    int year, days, missingHours;
    std::vector<HourHeight> heights;
};

// qui-nong1: 12 years, ending at 16:00 UTC, 17:00 here: 43 807 rows of
// -32767, hour 0 and hours 18 to 23 of the last day missing.
// San Diego: 2018 in UTC runs to 00:00 on 1 January 2019 here.
// Derby: 3.84 m at 02:00 UTC on 1 January 2014, 4.83 m at 13:00 UTC on
// 4 December 2016, day 1068.
// Panama City: 6-minute levels; only the 73 rows at whole hours are taken;
// 2.365 m is 236.5 cm, rounded half up. 9 October is day 281.
// Vlissingen: MET is Paris standard time; D15 starts on 1 March (day 59).
const Sample SAMPLES[] = {
    {"uhslc-csv/qui-nong1.csv", "UHSLC (CSV horaire)", "qui-nong1",
     "105185, dont 43807 manquantes ou rejetées et 0 signalées", "1994-01-01 00:00", "2005-12-31 16:00", "60 min",
     "UTC", "mm", 1994, 4383, 43814, {{0, MISSING_HEIGHT_CM}, {1, 87}, {2, 90}, {3, 101}, {105185, 234}}},
    {"gesla/san_diego_ca-569a-usa-uhslc", "GESLA (fichier de station)", "San_Diego_CA",
     "8760, dont 0 manquantes ou rejetées et 0 signalées", "2018-01-01 00:00", "2018-12-31 23:00", "60 min", "UTC",
     "m", 2018, 366, 24, {{1, 122}, {2, 160}, {3, 198}, {8760, 199}}},
    {"gesla/derby-dydby01-aus-bom", "GESLA (fichier de station)", "Derby",
     "17622, dont 0 manquantes ou rejetées et 0 signalées", "2014-01-01 02:00", "2016-12-04 13:00",
     "60 min (le plus fréquent)", "UTC", "m", 2014, 1069, 8034, {{3, 384}, {4, 619}, {1068 * 24 + 14, 483}}},
    {"noaa-coops/CO-OPS__8729108__wl.csv", "NOAA CO-OPS (CSV)", "CO-OPS__8729108__wl",
     "725, dont 1 manquantes ou rejetées et 0 signalées", "2018-10-09 00:00", "2018-10-12 00:24", "6 min", "UTC",
     "m", 2018, 285, 285 * 24 - 73, {{281 * 24, MISSING_HEIGHT_CM}, {281 * 24 + 1, 242}, {281 * 24 + 2, 237},
                                     {284 * 24 + 1, 219}}},
    {"rws-dia/VLISSGN_obs1.txt", "Rijkswaterstaat DIA", "Vlissingen",
     "8760, dont 0 manquantes ou rejetées et 46 signalées", "2009-01-01 00:00", "2009-12-31 23:00", "60 min",
     "UTC+01:00", "cm", 2009, 365, 0, {{0, -124}, {1, -86}, {8759, -56}}},
    {"rws-dia/D15_obs1.txt", "Rijkswaterstaat DIA", "Platform D15-A",
     "744, dont 0 manquantes ou rejetées et 0 signalées", "2010-03-01 00:00", "2010-03-31 23:00", "60 min",
     "UTC+01:00", "cm", 2010, 90, 59 * 24, {{59 * 24 - 1, MISSING_HEIGHT_CM}, {59 * 24, -60}, {89 * 24 + 23, -32}}},
    {"long-record/VLISSGN_obs19.txt", "Rijkswaterstaat DIA", "Vlissingen",
     "166560, dont 0 manquantes ou rejetées et 0 signalées", "1976-01-01 00:00", "1994-12-31 23:00", "60 min",
     "UTC+01:00", "cm", 1976, 6940, 0, {{0, 122}, {1, 225}, {166559, 56}}},
};

TEST_F(ImportTest, EachSampleGivesItsValuesGapsSpanAndHeights)
{
    for (const Sample& s : SAMPLES) {
        const std::string path = FormatsDir() + "/" + s.file;
        Measurements m;
        std::string message;
        ASSERT_TRUE(ReadMeasurementFile(path, m, message)) << message;
        const MeasurementFacts f = FactsOf(m);
        EXPECT_EQ(f.format, s.format) << s.file;
        EXPECT_EQ(f.station, s.station) << s.file;
        EXPECT_EQ(f.values, s.values) << s.file;
        EXPECT_EQ(f.first, s.first) << s.file;
        EXPECT_EQ(f.last, s.last) << s.file;
        EXPECT_EQ(f.interval, s.interval) << s.file;
        EXPECT_EQ(f.zone, s.zone) << s.file;
        EXPECT_EQ(f.unit, s.unit) << s.file;
        const ImportedRecord r = Imported(path);
        EXPECT_EQ(r.portLine, std::string(s.station) + "\n") << s.file;
        EXPECT_EQ(r.year, s.year) << s.file;
        EXPECT_EQ(r.start, YearStartTime(s.year)) << s.file;
        EXPECT_EQ(r.days, s.days) << s.file;
        ASSERT_EQ(r.values.size(), static_cast<std::size_t>(s.days) * 24 + 1) << s.file;
        EXPECT_EQ(r.missingHours, s.missingHours) << s.file;
        for (const HourHeight& h : s.heights)
            EXPECT_EQ(r.values.at(static_cast<std::size_t>(h.hour)), h.cm) << s.file << ", hour " << h.hour;
    }
}

// The DIA source of the example year, in MET like the record, is the record
// less the 300 cm it adds; the waves fitted on either are the same, the mean
// level 3 m apart (the heights in metres differ in their last bits).
TEST_F(ImportTest, TheDiaSourceOfVlissingen2009IsItsRecordLess300CmAndFitsTheSameWaves)
{
    const ImportedRecord source = Imported(RecordsDir() + "/sources/VLISSGN_obs1.txt");
    LoadRealRecord("VLISSINGEN2009.TXT");
    ASSERT_EQ(source.values.size(), RecordSeries.RecordValues.size());
    for (std::size_t i = 0; i + 1 < source.values.size(); ++i)
        ASSERT_EQ(source.values[i] + 300, RecordSeries.RecordValues[i]) << "hour " << i;
    EXPECT_EQ(source.start, Header.Time_of_debut);
    std::vector<Wave> fitted[2];
    double mean[2];
    for (int k = 0; k < 2; ++k) {
        if (k == 1)
            InstallImportedRecord(source);
        FitWavesUpTo(5);
        AddAllKnownWaves();
        fitted[k].assign(WaveSet.waves, WaveSet.waves + WaveSet.count);
        mean[k] = WaveSet.MeanLevel;
    }
    EXPECT_NEAR(mean[0] - mean[1], 3.0, 1e-9);
    ASSERT_EQ(fitted[1].size(), fitted[0].size());
    for (std::size_t i = 0; i < fitted[0].size(); ++i) {
        EXPECT_EQ(fitted[1][i].speed, fitted[0][i].speed) << fitted[0][i].name;
        EXPECT_NEAR(fitted[1][i].ampl, fitted[0][i].ampl, 1e-6) << fitted[0][i].name;
        EXPECT_NEAR(std::remainder(fitted[1][i].etab - fitted[0][i].etab, 2 * M_PI), 0, 1e-5) << fitted[0][i].name;
    }
}

// The real samples flag nothing; these rows do. GESLA: the null value, use
// 0, qc 4 and 5 are missing, qc 2 and 3 kept and flagged. NOAA: an empty
// level is missing, I or L set is flagged. DIA: quality 99 is missing,
// others are flagged.
TEST_F(ImportTest, FlagsDecideWhichHeightsAreMissingAndWhichAreKeptButCounted)
{
    struct Case { const char* what; std::string text; const char* values; std::vector<std::int32_t> hours; };
    const std::int32_t M = MISSING_HEIGHT_CM;
    const Case cases[] = {
        {"GESLA", "# TIME ZONE HOURS 1\n# NULL VALUE -99.9999\n"
                  "2009/01/01 00:00:00 1.0 1 1\n2009/01/01 01:00:00 -99.9999 1 1\n2009/01/01 02:00:00 1.2 1 0\n"
                  "2009/01/01 03:00:00 1.3 4 1\n2009/01/01 04:00:00 1.4 5 1\n2009/01/01 05:00:00 1.5 2 1\n"
                  "2009/01/01 06:00:00 1.6 3 1\n2009/01/01 07:00:00 1.7 0 1\n",
         "8, dont 4 manquantes ou rejetées et 2 signalées", {100, M, M, M, M, 150, 160, 170}},
        {"NOAA hourly heights", "Date Time, Water Level, Sigma, I, L\n2009-01-01 00:00,1.0,0.0,0,0\n"
                                "2009-01-01 01:00,,,0,0\n2009-01-01 02:00,1.2,0.0,1,0\n"
                                "2009-01-01 03:00,1.3,0.0,0,1\n",
         "4, dont 1 manquantes ou rejetées et 2 signalées", {100, M, 120, 130, M, M, M, M}},
        {"DIA", "[IDT;*DIF*;A;CENT;20190213]\n[W3H]\nEHD;I;cm\n[RKS]\n"
                "TYD;20090101;0000;20090101;0300;60;min\n[WRD]\n100/0:-999999999/99:\n120/25:130/0:\n",
         "4, dont 1 manquantes ou rejetées et 1 signalées", {100, M, 120, 130, M, M, M, M}},
    };
    for (const Case& c : cases) {
        WriteFile("flags", c.text);
        Measurements m;
        std::string message;
        ASSERT_TRUE(ReadMeasurementFile("flags", m, message)) << c.what << ": " << message;
        EXPECT_EQ(FactsOf(m).values, c.values) << c.what;
        ImportChoices paris;  // the NOAA rows are taken on Paris standard time
        paris.zoneMinutes = 60;
        const ImportedRecord r = Imported("flags", paris);
        EXPECT_EQ(std::vector<std::int32_t>(r.values.begin(), r.values.begin() + 8), c.hours) << c.what;
    }
}

// Two days of heights written on four clocks: UTC, UTC+2 stated in each
// row, UTC−5 stated in a GESLA header, and a clock the file does not state,
// given as UTC+1.
TEST_F(ImportTest, AFileThatStatesItsTimeZoneGivesTheSameDatesAsTheSameDataInUtc)
{
    std::string utc = "date,height (cm)\n", plus2, minus5 = "# SITE NAME \xEF\xBB\xBF" "Ailleurs sur la côte" +
                                                     std::string(80, '.') + "\n# TIME ZONE HOURS -5\n"
                                                     "# NULL VALUE -99.9999\n", unstated;
    for (int h = 0; h < 48; ++h) {
        const std::string v = std::to_string(100 + h % 7);
        utc += Format("2010-03-%02dT%02d:00:00Z,%s\n", 1 + h / 24, h % 24, v.c_str());
        plus2 += Format("2010-03-%02d %02d:00+02:00;%s\n", 1 + (h + 2) / 24, (h + 2) % 24, v.c_str());
        minus5 += Format("2010/%02d/%02d %02d:00:00 %s 1 1\n", h < 5 ? 2 : 3, h < 5 ? 28 : 1 + (h - 5) / 24,
                         (h + 19) % 24, Format("%.2f", (100 + h % 7) / 100.0).c_str());
        unstated += Format("2010-03-%02d %02d:00\t%s\n", 1 + (h + 1) / 24, (h + 1) % 24, v.c_str());
    }
    WriteFile("utc.csv", utc);
    WriteFile("plus2.txt", plus2);
    WriteFile("minus5", minus5);
    WriteFile("unstated.txt", unstated);
    ImportChoices centimetres;
    centimetres.unit = HeightUnit::Centimetre;
    ImportChoices unstatedZone = centimetres;
    unstatedZone.zoneMinutes = 60;
    const ImportedRecord reference = Imported("utc.csv");
    EXPECT_EQ(reference.values.at(59 * 24 + 1), 100);  // 00:00 UTC on 1 March: 01:00 here
    EXPECT_EQ(reference.missingHours, reference.days * 24 - 48);
    const std::pair<ImportedRecord, const char*> others[] = {
        {Imported("plus2.txt", centimetres), "UTC+2 in each row"},
        {Imported("minus5"), "TIME ZONE HOURS -5"},
        {Imported("unstated.txt", unstatedZone), "UTC+1 chosen"},
    };
    for (const auto& [r, what] : others) {
        EXPECT_EQ(r.start, reference.start) << what;
        EXPECT_EQ(r.values, reference.values) << what;
    }
    // The port line of every file holds 99 characters at most, and no
    // byte-order mark, which the record file's reader would drop.
    EXPECT_EQ(Imported("minus5").portLine, "Ailleurs sur la côte" + std::string(79, '.') + "\n");
    ImportChoices ignored = unstatedZone;
    ignored.zoneMinutes = 180;
    EXPECT_EQ(Imported("minus5", ignored).values, reference.values) << "a stated zone is not overridden";
}

// Each refusal: a box naming the file and the line, the same text in the
// log, and the record in memory as it was.
TEST_F(ImportTest, AFileThatCannotBeReadIsRefusedAtItsLineAndChangesNothing)
{
    const std::string dia = "[IDT;*DIF*;A;CENT;20190213]\n[W3H]\nLOC;X;Ailleurs\nEHD;I;cm\n[RKS]\n"
                            "TYD;20090101;0000;20090101;0300;60;min\n[WRD]\n";
    struct Case { const char* what; std::string text; const char* expected; std::uintmax_t size = 0; };
    const Case cases[] = {
        {"an empty file", "", "ligne 1 : le fichier est vide"},
        {"an unknown format", "\nhauteurs de Brest\n1 2 3\n", "ligne 2 : format de mesures inconnu"},
        {"a date that goes backwards", "2009,1,1,5,100\n2009,1,1,4,100\n",
         "ligne 2 : la date 2009-01-01 04:00 précède celle de la mesure précédente"},
        {"a duplicate time", "Date Time, Water Level, Sigma\n2009-01-01 00:00,1.0,0\n2009-01-01 00:00,1.1,0\n",
         "ligne 3 : la date 2009-01-01 00:00 est déjà celle de la mesure précédente"},
        {"a truncated DIA line", dia + "1/0:2/0:3/0\n", "ligne 8 : ligne tronquée"},
        {"a DIA block shorter than TYD", dia + "1/0:2/0:3/0:\n",
         "ligne 8 : les valeurs s'arrêtent après 3 des 4 annoncées par TYD"},
        {"a truncated GESLA row", "# TIME ZONE HOURS 0\n# NULL VALUE -99\n2018/01/01 00:00:00   1.2190 1\n",
         "ligne 3 : ligne tronquée"},
        {"a truncated dated row", "2009-01-01 00:00;1.5\n2009-01-01 01:00\n",
         "ligne 2 : ligne tronquée : la hauteur manque après la date"},
        {"a height that is not a number", "time;level\n2009-01-01 00:00;1,25\n2009-01-01 01:00;1,5m\n",
         "ligne 3 : hauteur illisible « 1,5m »"},
        {"a UHSLC row with a word", "2009,1,1,0,100\n2009,1,1,1,cent\n", "ligne 2 : cinq nombres entiers attendus"},
        {"a day that does not exist", "2009,2,29,0,100\n", "ligne 1 : date ou heure illisible"},
        {"a file over a gigabyte", "2009,1,1,0,100\n", "dépasse 1024 Mo : il n'a pas été lu",
         MAX_MEASUREMENT_FILE_BYTES + 1},
    };
    InstallRecordOf(3, 2.0, {});
    const std::vector<std::int32_t> before = RecordSeries.RecordValues;
    for (const Case& c : cases) {
        headless::Reset();
        WriteFile("mesures.txt", c.text);
        if (c.size)  // zeros, without writing them
            std::filesystem::resize_file("mesures.txt", MAX_MEASUREMENT_FILE_BYTES + 1);
        headless::QueueFileChoice(workDir + "/mesures.txt");
        const std::size_t logged = NewLog().size();
        ImportMeasurements();
        ASSERT_EQ(headless::Messages().size(), 1u) << c.what;
        const std::string& text = headless::Messages()[0].text;
        EXPECT_NE(text.find("« " + workDir + "/mesures.txt »"), std::string::npos) << c.what << ": " << text;
        EXPECT_NE(text.find(c.expected), std::string::npos) << c.what << ": " << text;
        EXPECT_EQ(headless::Messages()[0].caption, "Erreur") << c.what;
        EXPECT_NE(NewLog().substr(logged).find(c.expected), std::string::npos) << c.what;
        EXPECT_TRUE(headless::Dialogs().empty()) << c.what;
        EXPECT_EQ(RecordSeries.RecordValues, before) << c.what;
        EXPECT_EQ(Header.PortName, "Brest") << c.what;
    }
}

TEST_F(ImportTest, TheDialogShowsWhatWasFoundAndOkInstallsTheRecordWithTheZoneAndUnitChosen)
{
    const std::string noaa = FormatsDir() + "/noaa-coops/CO-OPS__8729108__wl.csv";
    AppendWave(WaveOf(12, 1, 0.5));
    const std::string wavesBefore = Format("%.17g", WaveSet.waves[0].etab);
    // Cancel, then a zone that cannot be read (the dialog stays), then
    // UTC−5 and feet: 00:00 there is 06:00 here, and 2.421 ft is 73.8 cm.
    for (int run = 0; run < 2; ++run) {
        headless::QueueFileChoice(noaa);
        if (run == 1) {
            headless::QueueDialogAction(Action::TypeInto(IMPORT_ZONE_ID, "demain"));
            headless::QueueDialogAction(Action::Press(ID_OK));
            headless::QueueDialogAction(Action::TypeInto(IMPORT_ZONE_ID, "UTC-5"));
            headless::QueueDialogAction(Action::Choose(IMPORT_UNIT_ID, 3));
        }
        headless::QueueDialogAction(Action::Press(run == 0 ? ID_CANCEL : ID_OK));
        ImportMeasurements();
        if (run == 0) {
            EXPECT_EQ(RecordSeries.RecordDays, 365);
            EXPECT_EQ(Header.PortName, "Brest");
            EXPECT_EQ(NewLog(), "");
        }
    }
    ASSERT_EQ(headless::Dialogs().size(), 2u);
    const std::map<int, std::string>& shown = headless::Dialogs()[0].finalTexts;
    EXPECT_EQ(headless::Dialogs()[0].title, "Importer des mesures");
    EXPECT_EQ(shown.at(IMPORT_FORMAT_ID), "NOAA CO-OPS (CSV)");
    EXPECT_EQ(shown.at(IMPORT_FIRST_ID), "2018-10-09 00:00");
    EXPECT_EQ(shown.at(IMPORT_INTERVAL_ID), "6 min");
    EXPECT_EQ(shown.at(IMPORT_ZONE_ID), "UTC");
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_EQ(headless::Messages()[0].owner, "Importer des mesures");
    EXPECT_NE(headless::Messages()[0].text.find("« demain » n'est pas lisible"), std::string::npos);
    EXPECT_EQ(Header.PortName, "CO-OPS__8729108__wl\n");
    EXPECT_EQ(Header.StartYear, 2018);
    EXPECT_EQ(Header.Time_of_debut, YearStartTime(2018));
    EXPECT_EQ(RecordSeries.RecordValues.at(281 * 24 + 6), 74);
    EXPECT_EQ(RecordSeries.RecordValues.at(281 * 24 + 5), MISSING_HEIGHT_CM);
    EXPECT_NE(Format("%.17g", WaveSet.waves[0].etab), wavesBefore) << "the wave turned to 2018";
    const std::string log = NewLog();
    EXPECT_EQ(log.rfind("\nImportation de mesures : " + noaa + "\nFormat : NOAA CO-OPS (CSV)\n", 0), 0u) << log;
    EXPECT_NE(log.find("Fuseau horaire : UTC-05:00 (non indiqué par le fichier)\nUnité : ft (non indiquée"),
              std::string::npos) << log;
    EXPECT_NE(log.find(Format("Time_of_debut = %li\n\n", Header.Time_of_debut)), std::string::npos) << log;
}

// Missing hours are written "-" and read back missing; saving again gives
// the same bytes.
TEST_F(ImportTest, AnImportedRecordSavedAndOpenedAgainKeepsItsMissingHours)
{
    headless::QueueFileChoice(FormatsDir() + "/uhslc-csv/qui-nong1.csv");
    headless::QueueDialogAction(Action::Press(ID_OK));
    ImportMeasurements();
    const HourlyRecord imported = RecordSeries;
    headless::QueueFileChoice("releve");
    SaveRecordFileAs();
    EXPECT_EQ(RecordFilePath, "releve.TXT");
    const std::string saved = ReadFile("releve.TXT");
    const std::string head = "qui-nong1\r\n1994\r\n4383\r\n\r\n-\r\n87\r\n90\r\n";
    EXPECT_EQ(saved.substr(0, head.size()), head);
    EXPECT_NE(NewLog().find("\nEnregistrement du relevé horaire : releve.TXT\n4383 jours, dont 43814 heures "
                            "manquantes.\n\n"), std::string::npos);
    RecordSeries = HourlyRecord{};
    LoadRecordFile();
    EXPECT_EQ(RecordSeries.RecordValues, imported.RecordValues);
    EXPECT_EQ(RecordSeries.MissingHours, 43814);
    EXPECT_EQ(Header.PortName, "qui-nong1\n");
    headless::QueueFileChoice("encore.TXT");
    SaveRecordFileAs();
    EXPECT_EQ(ReadFile("encore.TXT"), saved);
    EXPECT_TRUE(headless::Messages().empty());

    // Saved again on a full disk: the file keeps what it held, and the record
    // stays tied to it.
    WriteFile("plein.TXT", "ancien\r\n");
    SetDiskFullAfterBytes(1000);
    headless::QueueFileChoice("plein.TXT");
    SaveRecordFileAs();
    EXPECT_EQ(ReadFile("plein.TXT"), "ancien\r\n");
    EXPECT_EQ(RecordFilePath, "encore.TXT");
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_EQ(headless::Messages()[0].text, "Le relevé horaire n'a pas pu être enregistré dans « plein.TXT » : le disque est "
                                  "plein.\nLe fichier est resté tel qu'il était.");
}

TEST_F(ImportTest, ZonesReadBackFromTheirTextAndNothingPastFourteenHours)
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
