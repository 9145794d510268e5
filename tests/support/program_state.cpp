#include "tests/support/program_state.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/log.h"
#include "base/text.h"

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


std::string RecordsDir() { return HALIOME_RECORDS_DIR; }
std::string FormatsDir() { return HALIOME_FORMATS_DIR; }


int IdentityStride(int releaseStride)
{
#ifdef HALIOME_SANITIZE_BUILD
    return releaseStride * 13;
#else
    return releaseStride;
#endif
}

std::string ExamplePortRecord() { return HALIOME_EXAMPLE_PORT; }
