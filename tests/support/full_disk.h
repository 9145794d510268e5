// A full disk, for the tests of what the program does when a save fails.
#pragma once

#include <cstdint>

// From now on a write() to a regular file fails with ENOSPC once the file's
// offset has reached bytes, and one that would pass it is cut there: each
// file holds at most bytes bytes. Negative: never. Other files, and the C
// library's own writes (stdio), are not affected.
void SetDiskFullAfterBytes(std::int64_t bytes);
