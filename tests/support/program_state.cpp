#include "tests/support/program_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "analysis/fitting.h"
#include "analysis/knownwaves.h"
#include "base/log.h"
#include "base/text.h"
#include "files/recordfile.h"
#include "model/record.h"

ScopedWorkDir::ScopedWorkDir() : previous(std::filesystem::current_path())
{
    char pattern[] = "/tmp/haliome-test-XXXXXX";
    dir = mkdtemp(pattern);
    std::filesystem::current_path(dir);
}

ScopedWorkDir::~ScopedWorkDir()
{
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}

std::string LogBytes()
{
    return ReadFile(LOG_FILE_NAME);  // no flush: the log writes each entry through
}

std::string LogContents() { return WithoutCr(LogBytes()); }

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string ReadFile(const std::string& path) { return ReadFileBytes(path).value_or(""); }

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

std::string RecordsDir() { return HALIOME_RECORDS_DIR; }
std::string FormatsDir() { return HALIOME_FORMATS_DIR; }

const char* const REAL_RECORDS[3] = {"VLISSINGEN2009.TXT", "VLISSINGEN2012.TXT", "HONOLULU2010.TXT"};

void LoadRealRecord(const std::string& file)
{
    RecordFilePath = RecordsDir() + "/" + file;
    LoadRecordFile();
}

void LoadFourYearRecord()
{
    std::vector<std::int32_t> values;
    int days = 0;
    for (const char* file : {REAL_RECORDS[0], REAL_RECORDS[1], REAL_RECORDS[2], REAL_RECORDS[0]}) {
        LoadRealRecord(file);
        days += RecordSeries.RecordDays;
        values.insert(values.end(), RecordSeries.RecordValues.begin(), RecordSeries.RecordValues.end() - 1);
    }
    values.push_back(0);
    InstallRecord(days, std::move(values));
    DetermineMeanLevel(1);
}

void FitWavesUpTo(int count)
{
    WaveSet.count = 0;
    for (int row = 0; row < MENU_WAVE_COUNT && WaveSet.count < count; ++row)
        AddMenuWave(row);
    while (WaveSet.count < count)
        AddKnownWave((WaveSet.count - MENU_WAVE_COUNT) % KNOWN_WAVE_COUNT);
}

int IdentityStride(int releaseStride)
{
#ifdef HALIOME_SANITIZE_BUILD
    return releaseStride * 13;
#else
    return releaseStride;
#endif
}
std::string ExamplePortRecord() { return HALIOME_EXAMPLE_PORT; }
