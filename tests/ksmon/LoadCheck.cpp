// Loads KSMON from the path given and reports what its operations answer, for the load-check
// test (run with a stand-in core library preloaded).

#include <dlfcn.h>
#include <ksmon.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::printf("dlopen failed: %s\n", dlerror());
        return 3;
    }
    auto monitor = reinterpret_cast<decltype(&RS_MonitorData)>(dlsym(library, "RS_MonitorData"));
    if (!monitor) return 4;
    int32_t mode = RS_MONITOR_HEX;
    int32_t start = monitor(3, RS_MONITOR_START, nullptr, &mode);
    int32_t value = -1;
    int32_t fill = monitor(3, RS_MONITOR_FILL, nullptr, &value);
    std::printf("start=%d fill=%d value=%d\n", start, fill, value);
    std::fflush(stdout);
    dlclose(library);
    return 0;
}
