// The printable tables: the contents of each month's page, and the PDF that
// Qt's writer makes of them, read back with pdftotext (poppler-utils).
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "base/text.h"
#include "exports/pages.h"
#include "exports/pdf.h"
#include "exports/tides.h"
#include "tables/tidetimes.h"
#include "tests/support/program_test.h"
#include "tests/support/tide_reports.h"

namespace {

class PrintedTablesTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        DetermineExamplePortModel();
    }
};

void InZone(const char* zone)
{
    setenv("TZ", zone, 1);
    tzset();
}

TEST_F(PrintedTablesTest, EachPageNamesTheClockOfItsDays)
{
    struct Case { const char* zone; int month; const char* note; };
    const Case cases[] = {
        {"Europe/Paris", 2, "Heures légales (Europe/Paris) et hauteurs en mètres : du 1er au 28, CET (UTC+01:00), "
                            "heure d'été non appliquée ; du 29 au 31, CEST (UTC+02:00), heure d'été appliquée."},
        {"Europe/Paris", 6, "Heures légales (Europe/Paris) et hauteurs en mètres : CEST (UTC+02:00), heure d'été "
                            "appliquée."},
        {"UTC", 6, "Heures légales (UTC) et hauteurs en mètres : UTC (UTC+00:00), heure d'été non appliquée."},
        {"America/St_Johns", 0, "Heures légales (America/St_Johns) et hauteurs en mètres : NST (UTC-03:30), heure "
                                "d'été non appliquée."},
    };
    for (const Case& c : cases) {
        InZone(c.zone);
        const std::vector<TablePage> pages = TablePages(2009, c.month).value();
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(pages[0].notes, std::vector<std::string>{c.note}) << c.zone << " " << c.month;
    }
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
    for (const TablePage& page : pages) {
        EXPECT_EQ(page.heads.size(), 1u + 2 * 3 + 2 * 2) << page.title;  // two high and two low waters a day
        EXPECT_EQ(page.footer.back(), PREDICTION_NOTE);
        EXPECT_EQ(page.footer.front(), "Ondes de l'année 2009, Vlissingen : niveau moyen 3,00 m et 5 ondes.");
    }
}

// The row of day in a page of pdftotext's layout output.
std::string DayRow(const std::string& page, int day)
{
    std::smatch m;
    const std::regex row("\n *[A-Z][a-z]+ " + std::to_string(day) + " [^\n]*");
    return std::regex_search(page, m, row) ? m.str() : "";
}

std::vector<double> HeightsIn(const std::string& row)
{
    std::vector<double> heights;
    static const std::regex height(R"( (-?\d+),(\d\d)\b)");
    for (auto it = std::sregex_iterator(row.begin(), row.end(), height); it != std::sregex_iterator(); ++it)
        heights.push_back(std::stod((*it)[1].str() + "." + (*it)[2].str()));
    return heights;
}

TEST_F(PrintedTablesTest, ThePdfOfAYearHasTwelvePagesThatHoldTheReportsTides)
{
    const std::optional<std::string> pdf = PdfOfPages(TablePages(2009, WHOLE_YEAR).value(), "Annuaire");
    ASSERT_TRUE(pdf);
    WriteFile("2009.pdf", *pdf);
    int status = 0;
    const std::string text = OutputOf("pdftotext -layout 2009.pdf -", status);
    ASSERT_EQ(status, 0) << "pdftotext (poppler-utils) is needed";
    std::vector<std::string> pages;
    for (std::size_t start = 0, end; (end = text.find('\f', start)) != std::string::npos; start = end + 1)
        pages.push_back("\n" + text.substr(start, end - start));
    ASSERT_EQ(pages.size(), 12u);
    for (int month = 0; month < 12; ++month) {
        std::string report;
        for (const std::string& line : MonthReportLines(*MonthBoundsOf(2009, month), false))
            report += line;
        const std::string& page = pages[static_cast<std::size_t>(month)];
        EXPECT_NE(page.find("Hauteurs prédites"), std::string::npos);
        for (const ReportTide& r : ReadPlainReport(report)) {
            const std::string row = DayRow(page, r.day);
            const std::string time = Format(" %02i:%02i ", r.hour, r.minute);
            EXPECT_NE((row + " ").find(time), std::string::npos) << "month " << month << time << "in" << row;
            if (r.high) {
                EXPECT_NE((row + " ").find(Format(" %i ", r.coefficient)), std::string::npos) << row;
            }
            bool heightShown = false;
            for (double h : HeightsIn(row))
                heightShown = heightShown || std::abs(h - r.height) <= 0.05 + 1e-9;
            EXPECT_TRUE(heightShown) << r.height << " in" << row;
        }
    }
}

}  // namespace
