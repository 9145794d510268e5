// A month of a station's high and low waters against those that
// tests/model/published_tides.py computes from the same constants with
// Schureman's formulas written out apart from the program: a reference
// station, and a subordinate one through its reference and its offsets.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "files/catalogue.h"
#include "files/station.h"
#include "shell/stationcommands.h"
#include "tests/support/program_test.h"

namespace {

using StationTest = ProgramTest;

struct Expected {
    CalendarTime time;
    bool high;
    double height;
};

std::vector<Expected> ExpectedOf(const std::string& id)
{
    std::ifstream in(HALIOME_TEST_DATA "/published_tides_2027-03.txt");
    std::vector<Expected> out;
    std::string line;
    bool mine = false;
    while (std::getline(in, line)) {
        if (line.starts_with("# ")) {
            mine = line.substr(2) == id;
            continue;
        }
        std::tm t{};
        char kind[3] = {};
        double height = 0;
        if (mine && std::sscanf(line.c_str(), "%d-%d-%d %d:%d:%d %2s %lf", &t.tm_year, &t.tm_mon, &t.tm_mday,
                                &t.tm_hour, &t.tm_min, &t.tm_sec, kind, &height) == 8) {
            t.tm_year -= 1900, t.tm_mon -= 1;
            out.push_back({timegm(&t), kind[0] == 'H', height});
        }
    }
    return out;
}

TEST_F(StationTest, AMonthOfHighAndLowWatersIsTheReferenceScriptsToTheMinuteAndTheCentimetre)
{
    std::string message;
    if (!OpenCatalogueFile(HALIOME_TEST_CATALOGUE, message))
        GTEST_SKIP() << message;
    for (const char* id : {"ticon/brest-822-fra-uhslc_fd", "noaa/1610367"}) {
        std::vector<int> same;
        const std::optional<StationModel> model = StationModelOf(*StationCalled(id, same), 2027, message);
        ASSERT_TRUE(model) << message;
        EXPECT_TRUE(model->waves.unknown.empty());
        MakeStationThePort(*model);
        const CalendarTime march = 1803859200;  // 2027-03-01 00:00 UTC
        const std::optional<std::vector<Tide>> tides = PortTidesIn({march, march + 31 * 86400});
        const std::vector<Expected> expected = ExpectedOf(id);
        ASSERT_TRUE(tides);
        ASSERT_EQ(tides->size(), expected.size()) << id;
        for (std::size_t k = 0; k < expected.size(); ++k) {
            const Tide& got = (*tides)[k];
            EXPECT_EQ(got.high, expected[k].high) << id << " " << k;
            EXPECT_EQ(got.time, expected[k].time / 60 * 60) << id << " " << k;  // the tables cut to the minute
            EXPECT_NEAR(got.height, expected[k].height, 0.01) << id << " " << k;
        }
    }
}

}  // namespace
