// The test program's own write() takes the place of the C library's for the
// program's calls (they bind to it at link time) and for the shared
// libraries' (the dynamic linker looks in the program first). stdio goes
// through the C library's internal entry and is not affected.
#include "tests/support/full_disk.h"

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

namespace {

std::atomic<std::int64_t> DiskFullAfterBytes{-1};

}  // namespace

void SetDiskFullAfterBytes(std::int64_t bytes)
{
    DiskFullAfterBytes = bytes;
}

extern "C" ssize_t write(int fd, const void* buffer, size_t count)
{
    const std::int64_t budget = DiskFullAfterBytes;
    struct stat status {};
    if (budget >= 0 && fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        const off_t offset = lseek(fd, 0, SEEK_CUR);  // −1 on failure: then the write goes through
        if (offset >= budget) {
            errno = ENOSPC;
            return -1;
        }
        if (offset >= 0)
            count = std::min(count, static_cast<size_t>(budget - offset));
    }
    return syscall(SYS_write, fd, buffer, count);
}
