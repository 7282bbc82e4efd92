// A display that refuses one connection: preloaded with XFAIL_AT=N, the Nth XOpenDisplay of the process
// returns null, as an X server that is resetting (its last client just left) refuses a connection.
#include <dlfcn.h>

#include <cstdlib>

extern "C" void* XOpenDisplay(const char* name)
{
    using Open = void* (*)(const char*);
    static const Open connect = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "XOpenDisplay"));
    static int calls = 0;
    const char* refused = std::getenv("XFAIL_AT");
    if (refused != nullptr && std::atoi(refused) == ++calls)
        return nullptr;
    return connect(name);
}
