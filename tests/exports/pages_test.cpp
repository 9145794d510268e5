// The printable tables' pages as they are built, before the PDF writer draws
// them, the folding of the calendar's long lines, and the waves' CSV rows. The files the exports
// write are scenarios (tests/scenarios/exports/).
#include <gtest/gtest.h>

#include <cstdlib>

#include "exports/formats.h"
#include "exports/pages.h"
#include "model/port.h"
#include "tests/support/program_test.h"
#include "tests/support/model_state.h"

namespace {

// The start-up's five waves on Vlissingen 2009.
class PrintedTablesTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        InstallPortWaves(5);
    }
};

void InZone(const char* zone)
{
    setenv("TZ", zone, 1);
    tzset();
}

TEST_F(PrintedTablesTest, EachPageNamesTheClockOfItsDays)
{
    // The computer's zone is said to be assumed; a port's own zone is its clock whatever TZ says.
    struct Case { const char* zone; bool port; int year, month; const char* note; };
    const Case cases[] = {
        {"Europe/Paris", false, 2009, 2, "Heures légales (zone de l'ordinateur : Europe/Paris, supposée) et hauteurs en "
                                   "mètres au-dessus du zéro du relevé : du 1er au 28, CET (UTC+01:00), heure d'été "
                                   "non appliquée ; du 29 au 31, CEST (UTC+02:00), heure d'été appliquée."},
        {"UTC", false, 2009, 6, "Heures légales (zone de l'ordinateur : UTC, supposée) et hauteurs en mètres au-dessus du "
                          "zéro du relevé : UTC (UTC+00:00), heure d'été non appliquée."},
        {"America/St_Johns", true, 2009, 6, "Heures légales (America/St_Johns) et hauteurs en mètres au-dessus du zéro du "
                                      "relevé : NDT (UTC-02:30), heure d'été appliquée."},
        // Ireland's winter time is GMT, which its zone data writes as a negative summer time.
        {"Europe/Dublin", true, 2009, 0, "Heures légales (Europe/Dublin) et hauteurs en mètres au-dessus du zéro du "
                                         "relevé : GMT (UTC+00:00), heure d'été non appliquée."},
        {"Europe/Dublin", true, 2009, 6, "Heures légales (Europe/Dublin) et hauteurs en mètres au-dessus du zéro du "
                                         "relevé : IST (UTC+01:00), heure d'été appliquée."},
        // Summer time from Sunday 31 March 2024: a spell of one day.
        {"Europe/Paris", false, 2024, 2, "Heures légales (zone de l'ordinateur : Europe/Paris, supposée) et hauteurs "
                                         "en mètres au-dessus du zéro du relevé : du 1er au 30, CET (UTC+01:00), heure "
                                         "d'été non appliquée ; le 31, CEST (UTC+02:00), heure d'été appliquée."},
    };
    for (const Case& c : cases) {
        std::string why;
        InZone(c.port ? "Europe/Paris" : c.zone);
        ASSERT_TRUE(SetPortZone(c.port ? c.zone : "", why)) << why;
        const std::vector<TablePage> pages = TablePages(c.year, c.month).value();
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(pages[0].notes, std::vector<std::string>{c.note}) << c.zone << " " << c.month;
    }
    ForgetComputerClock();
    InZone("Europe/Paris");
}

TEST_F(PrintedTablesTest, AYearIsTwelvePagesOfDaysWithTheirWeekdays)
{
    const std::vector<TablePage> pages = TablePages(2009, WHOLE_YEAR).value();
    ASSERT_EQ(pages.size(), 12u);
    EXPECT_EQ(pages[1].title, "Vlissingen — février 2009");
    EXPECT_EQ(pages[1].rows.size(), 28u);
    EXPECT_EQ(pages[11].rows.size(), 31u);
    // 1 March 2009 was a Sunday.
    EXPECT_EQ(pages[2].rows[0].cells[0], "Dimanche 1");
    EXPECT_TRUE(pages[2].rows[0].sunday && pages[2].rows[7].sunday && !pages[2].rows[6].sunday);
    // The tides of 29 March as the tide-times report gives them, heights to the centimetre.
    EXPECT_EQ(pages[2].rows[28].cells, (std::vector<std::string>{"Dimanche 29", "05:02", "5,28", "77", "17:27",
                                                                 "5,29", "74", "11:15", "0,60", "23:35", "0,80"}));
    for (const TablePage& page : pages) {
        EXPECT_EQ(page.heads.size(), 1u + 2 * 3 + 2 * 2) << page.title;  // two high and two low waters a day
        EXPECT_EQ(page.footer.back(), PREDICTION_NOTE);
        EXPECT_EQ(page.footer.front(), "Ondes de l'année 2009, Vlissingen : niveau moyen 3,00 m et 5 ondes ; "
                                       "corrections nodales : non.");
    }
}

// A wave file may put a NUL in a wave's name: the name is written whole, and
// its row keeps its closing quote and the numbers after it.
TEST_F(PrintedTablesTest, TheWavesCsvWritesANameWithANulWhole)
{
    WaveSet.waves[0].name = std::string("M2\0, x", 6);
    const std::string csv = WavesCsv();
    EXPECT_NE(csv.find(std::string("\r\n\"M2\0, x\",", 11) + "12.42"), std::string::npos) << csv;
}

// Lines of at most 75 octets, each continuation starting with a blank, never
// cut inside a UTF-8 character; unfolded, the texts are whole and escaped,
// without the control character that the format forbids.
TEST(ICalendarText, ALongPortNameIsFoldedWithinTheLineLengthNeverInsideACharacter)
{
    // Folded at 75 octets, both lines would be cut inside the É of Église.
    const std::string port = "Port-Saint-Étienne, bassin «à flot»; quai de l'Église \\ môle nord-est, très loin\x01";
    const std::string ics = TidesICalendar({Tide{1230764400, 5.25, true, 101}}, port, 1230764400);
    std::string unfolded;
    for (std::size_t start = 0, end; (end = ics.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = ics.substr(start, end - start);
        EXPECT_LE(line.size(), 75u) << line;
        const bool continued = line.starts_with(' ');
        EXPECT_NE(static_cast<unsigned char>(line.at(continued ? 1 : 0)) & 0xC0, 0x80) << line;
        unfolded += continued ? line.substr(1) : "\n" + line;
    }
    const std::string escaped =
        "Port-Saint-Étienne\\, bassin «à flot»\\; quai de l'Église \\\\ môle nord-est\\, très loin";
    EXPECT_NE(unfolded.find("\nLOCATION:" + escaped + "\n"), std::string::npos) << unfolded;
    EXPECT_NE(unfolded.find("\nX-WR-CALNAME:Marées " + escaped + "\n"), std::string::npos) << unfolded;
}

}  // namespace
