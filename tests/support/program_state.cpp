#include "tests/support/program_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/log.h"
#include "base/text.h"
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
    if (LogFile)
        std::fflush(LogFile);
    return ReadFile(LOG_FILE_NAME);
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
std::string ExamplePortRecord() { return HALIOME_EXAMPLE_PORT; }
