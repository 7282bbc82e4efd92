// Runs before main, and before any library is initialised: linked into the program itself, never into a
// library, since nothing refers to it by name.
#include <link.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace
{

// igraph links a BLAS for routines a run never calls. OpenBLAS, where it is the system's, starts a thread a
// core as it loads, each reserving a buffer; under an address-space limit a thread that cannot have its
// buffer asks again for ever, and the run's exit waits for it. It reads how many threads it may start from
// the environment as it loads, which the C library has set by then from the process's own: so the program
// starts itself again, once, with one thread asked for, from its preinit array, which runs before any
// library's constructor. Where it cannot, or the BLAS is another, the run goes on as it is.

// Whether OpenBLAS is among the libraries loaded, all of which are in place before any is initialised.
bool loadsOpenBlas()
{
    const auto visit = [](dl_phdr_info* library, std::size_t, void*) {
        return library->dlpi_name != nullptr && std::strstr(library->dlpi_name, "openblas") != nullptr ? 1
                                                                                                       : 0;
    };
    return dl_iterate_phdr(visit, nullptr) != 0;
}

void keepBlasOnOneThread(int, char** argv, char** environment)
{
    // The C library's own view of the environment is not yet set up here: the array the process was given
    // is read, and a copy of it is handed on.
    static const char setting[] = "OPENBLAS_NUM_THREADS=";
    const std::size_t length = sizeof setting - 1;
    std::size_t count = 0;
    for (; environment != nullptr && environment[count] != nullptr; ++count)
        if (std::strncmp(environment[count], setting, length) == 0 &&
            std::strcmp(environment[count] + length, "1") == 0)
            return;
    if (argv == nullptr || argv[0] == nullptr || !loadsOpenBlas())
        return;
    auto** handed = static_cast<char**>(std::malloc((count + 2) * sizeof(char*)));
    if (handed == nullptr)
        return;
    std::size_t kept = 0;
    for (std::size_t at = 0; at < count; ++at)
        if (std::strncmp(environment[at], setting, length) != 0)
            handed[kept++] = environment[at];
    static char oneThread[] = "OPENBLAS_NUM_THREADS=1";
    handed[kept++] = oneThread;
    handed[kept] = nullptr;
    execve("/proc/self/exe", argv, handed);
    std::free(handed);
}

[[maybe_unused]] __attribute__((section(".preinit_array"),
                                used)) void (*const blasSetUp)(int, char**, char**) = keepBlasOnOneThread;

} // namespace
