// A stand-in core library for the load check: it reports the version given in
// KESTRUNE_STUB_VERSION, calls every port usable and accepts every monitor. Preloaded ahead of
// kestrune, its lookup function is the one KSMON finds.

#include <kestrune.h>

#include <cstdlib>

namespace {

uint16_t KESTRUNE_CALL Version() {
    const char* v = std::getenv("KESTRUNE_STUB_VERSION");
    return static_cast<uint16_t>(v ? std::atoi(v) : 0);
}
int KESTRUNE_CALL Usable(int) {
    return 1;
}
void KESTRUNE_CALL Section(int) {}
int KESTRUNE_CALL Monitor(int, KestruneMonitorRecord*) {
    return 1;
}
uint32_t KESTRUNE_CALL Ticks() {
    return 0;
}

}  // namespace

extern "C" KESTRUNE_API KestruneProc KESTRUNE_CALL KestruneFunction(int ordinal) {
    switch (ordinal) {
        case KESTRUNE_ORD_VERSION:
            return reinterpret_cast<KestruneProc>(&Version);
        case KESTRUNE_ORD_USABLE:
            return reinterpret_cast<KestruneProc>(&Usable);
        case KESTRUNE_ORD_ENTER:
        case KESTRUNE_ORD_LEAVE:
            return reinterpret_cast<KestruneProc>(&Section);
        case KESTRUNE_ORD_MONITOR:
            return reinterpret_cast<KestruneProc>(&Monitor);
        case KESTRUNE_ORD_TICKS:
            return reinterpret_cast<KestruneProc>(&Ticks);
        default:
            return nullptr;
    }
}
