#include <FuzzInput>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

std::string writeFuzzInput(const std::uint8_t* data, std::size_t size)
{
    static const int file = memfd_create("linkmap-fuzz-input", 0);
    if (file < 0 || ftruncate(file, 0) != 0 || pwrite(file, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    return "/proc/self/fd/" + std::to_string(file);
}

void silenceStandardOutput()
{
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        std::abort();
}
