#include "tests/support/model_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "base/calendar.h"
#include "model/astronomy.h"
#include "model/port.h"
#include "model/record.h"
#include "tests/support/program_state.h"

Wave WaveOf(double periodHours, double ampl, double etab, const std::string& name)
{
    return Wave{2 * M_PI / (periodHours * 3600), ampl, etab, name};
}

void InstallRecordOf(int days, double meanLevel, const std::vector<Wave>& waves)
{
    std::vector<std::int32_t> values(static_cast<std::size_t>(days) * 24 + 1);
    for (std::size_t i = 0; i + 1 < values.size(); ++i) {
        double h = meanLevel;
        for (const Wave& w : waves)
            h += w.ampl * std::cos(w.speed * 3600.0 * static_cast<double>(i) - w.etab);
        values[i] = static_cast<std::int32_t>(std::lround(h * 100));
    }
    InstallRecord(days, std::move(values));
}

const char* const REAL_RECORDS[3] = {"VLISSINGEN2009.TXT", "VLISSINGEN2012.TXT", "HONOLULU2010.TXT"};

// These files are whole and well formed: a port line, the year, the days, a
// blank line, then one height in centimetres (or "-") per hour.
void ReadRealRecord(const std::string& file)
{
    std::istringstream in(ReadFile(RecordsDir() + "/" + file));
    std::string port, word;
    int year = 0, days = 0;
    std::getline(in, port);
    ASSERT_TRUE(in >> year >> days) << file;
    std::vector<std::int32_t> values;
    while (in >> word)
        values.push_back(word == "-" ? MISSING_HEIGHT_CM : std::stoi(word));
    ASSERT_EQ(values.size(), static_cast<std::size_t>(days) * 24) << file;
    values.push_back(values.back());
    if (!port.empty() && port.back() == '\r')
        port.pop_back();
    Header.PortName = port + "\n";
    MoveTimeOrigin(*YearStartTime(year), year);
    InstallRecord(days, std::move(values));
}

void InstallPortWaves(int count)
{
    Header.PortName = "Vlissingen\n";
    MoveTimeOrigin(*YearStartTime(2009), 2009);
    WaveSet.count = 0;
    WaveSet.MeanLevel = 3.000652;
    const Wave fitted[] = {WaveOf(12.420601, 1.723592, 2.912181, "M2"), WaveOf(12.0, 0.489821, 2.058970, "S2"),
                           WaveOf(12.658348, 0.271777, 0.499434, "N2"), WaveOf(25.819342, 0.108519, -0.758017, "O1"),
                           WaveOf(23.934470, 0.071473, -0.189894, "K1")};
    std::mt19937 random(11);
    std::uniform_real_distribution<double> phase(-M_PI, M_PI);
    for (int i = 0; i < count; ++i) {
        if (i < 5) {
            AppendWave(fitted[i]);
            continue;
        }
        const int constituent = ConstituentNamed("Sa") + (i - 5) % 40;
        AppendWave(Wave{ConstituentSpeed(constituent), 0.08 / (1 + (i - 5) / 8), phase(random), ""});
    }
}
