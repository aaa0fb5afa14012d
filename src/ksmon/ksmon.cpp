// KSMON: per-port traffic records, the traffic line format and the trace file.
//
// The records are shared between the caller's thread (RS_MonitorData) and whatever thread
// kestrune delivers traffic on; every access to a record happens inside the port's exclusive
// section of the core library (services 118 and 119).

#include "ksmon.h"

#include <kestrune.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kSlots = 256;
constexpr uint16_t kOldestCoreVersion = 1280;
constexpr uint32_t kLineReserve = 32;  // no line is begun with less room than this left

struct MonitorRecord {
    char* buffer;
    uint32_t capacity;
    uint32_t fill;
    int32_t mode;
    KestruneMonitorRecord registration;
    char fileName[RS_MONITOR_FILE_NAME];
};

MonitorRecord* g_records[kSlots];

struct Core {
    KestruneVersionProc version;
    KestruneUsableProc usable;
    KestruneSectionProc enter;
    KestruneSectionProc leave;
    KestruneMonitorProc monitor;
    KestruneTicksProc ticks;
};

Core g_core;
std::atomic<bool> g_refused{true};  // until the load check has accepted the core library

template <typename F>
F Lookup(int ordinal) {
    return reinterpret_cast<F>(KestruneFunction(ordinal));
}

int Slot(int32_t port) {
    return port & 0xFF;
}

bool Usable(int32_t port) {
    return g_core.usable(port) != 0;
}

// Holds the port's exclusive section for the lifetime of the object.
class Section {
public:
    explicit Section(int32_t port) : port_(port) { g_core.enter(port_); }
    ~Section() { g_core.leave(port_); }
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

private:
    int32_t port_;
};

void FreeRecord(MonitorRecord* record) {
    std::free(record->buffer);
    std::free(record);
}

// Appends text to the buffer; never past its capacity.
void Put(MonitorRecord* r, const char* text, size_t length) {
    size_t room = r->capacity - r->fill;
    if (length > room) length = room;
    std::memcpy(r->buffer + r->fill, text, length);
    r->fill += static_cast<uint32_t>(length);
}

void AppendLine(MonitorRecord* r, int direction, const unsigned char* data, int length) {
    if (r->capacity < kLineReserve || r->fill >= r->capacity - kLineReserve) return;
    uint32_t t = g_core.ticks();
    char text[48];
    int n = std::snprintf(text, sizeof text, "[ %cx %d  %u,%u ]\r\n", direction ? 'T' : 'R', length,
                          t / 1000u, t % 1000u);
    Put(r, text, static_cast<size_t>(n));
    for (int i = 0; data && i < length && r->fill < r->capacity - kLineReserve; ++i) {
        unsigned char c = data[i];
        switch (r->mode) {
            case RS_MONITOR_HEX:
                n = std::snprintf(text, sizeof text, "%02X ", c);
                break;
            case RS_MONITOR_DECIMAL:
                n = std::snprintf(text, sizeof text, "%d ", c);
                break;
            case RS_MONITOR_RAW:
                text[0] = static_cast<char>(c);
                n = 1;
                break;
            default:
                if (c >= 32 && c <= 127) {
                    text[0] = static_cast<char>(c);
                    n = 1;
                } else {
                    n = std::snprintf(text, sizeof text, "<%02Xh>", c);
                }
                break;
        }
        Put(r, text, static_cast<size_t>(n));
    }
    Put(r, "\r\n", 2);
}

// Hands the buffer to the trace file, which is opened and closed for each block. The bytes are
// written as held, so a NUL sent in the raw notation does not cut the line short. Unbuffered, so
// that the count written is what is on the disk: what a full disk did not take stays in the
// buffer, as a line does when the file cannot be opened at all.
void WriteTraceFile(MonitorRecord* r) {
    FILE* file = std::fopen(r->fileName, "ab");
    if (!file) return;  // the line stays in the buffer
    std::setvbuf(file, nullptr, _IONBF, 0);
    const size_t written = std::fwrite(r->buffer, 1, r->fill, file);
    if (written == r->fill) {
        std::fputc('\n', file);
        r->fill = 0;
    } else {
        std::memmove(r->buffer, r->buffer + written, r->fill - written);
        r->fill -= static_cast<uint32_t>(written);
    }
    std::fclose(file);
}

void KESTRUNE_CALL Traffic(int port, int direction, const unsigned char* data, int length) {
    if (g_refused) return;
    Section section(port);
    MonitorRecord* r = g_records[Slot(port)];
    if (!r) return;  // stopped while the block was on its way
    AppendLine(r, direction, data, length);
    if (r->fileName[0] != '\0') WriteTraceFile(r);
}

int32_t Stop(int32_t port) {
    KestruneMonitorRecord registration;
    {
        Section section(port);
        MonitorRecord* r = g_records[Slot(port)];
        if (!r) return 0;
        g_records[Slot(port)] = nullptr;
        registration = r->registration;
        FreeRecord(r);
    }
    // The record is released even when the port is no longer usable, so a closed port does not
    // stay "monitored" for ever; the monitor is taken out of the core library in any case.
    bool usable = Usable(port);
    registration.kind = KESTRUNE_MONITOR_KIND;
    int32_t result = g_core.monitor(port, &registration);
    return usable ? result : 0;
}

int32_t Start(int32_t port, const char* fileName, const int32_t* mode) {
    if (fileName && strnlen(fileName, RS_MONITOR_FILE_NAME) >= RS_MONITOR_FILE_NAME) return 0;
    if (!Usable(port)) return 0;
    {
        Section section(port);
        if (g_records[Slot(port)]) return 0;
        auto* r = static_cast<MonitorRecord*>(std::calloc(1, sizeof(MonitorRecord)));
        if (!r) return 0;
        if (mode) r->mode = *mode;
        if (fileName) std::memcpy(r->fileName, fileName, std::strlen(fileName) + 1);
        r->buffer = static_cast<char*>(std::malloc(RS_MONITOR_BUFFER));
        if (!r->buffer) {
            std::free(r);
            return 0;
        }
        r->capacity = RS_MONITOR_BUFFER;
        g_records[Slot(port)] = r;
    }
    KestruneMonitorRecord registration{};
    registration.kind = KESTRUNE_MONITOR_KIND;
    registration.callback = &Traffic;
    int32_t result = g_core.monitor(port, &registration);

    Section section(port);
    MonitorRecord* r = g_records[Slot(port)];
    if (r && result != 0) {
        r->registration = registration;
    } else if (r) {
        // The core library would not take the callback: the port stays unmonitored.
        g_records[Slot(port)] = nullptr;
        FreeRecord(r);
    } else if (result != 0) {
        // Stopped meanwhile from another thread: take the callback out again.
        g_core.monitor(port, &registration);
        result = 0;
    }
    return result;
}

int32_t ReadOut(int32_t port, char* destination, int32_t* size) {
    Section section(port);
    MonitorRecord* r = g_records[Slot(port)];
    if (!r || !destination || !size) {
        if (size) *size = 0;
        return 0;
    }
    // A destination of size 0 (or less) has no room even for the NUL: nothing is written.
    if (*size <= 0 || r->fill == 0) {
        *size = 0;
        return 1;
    }
    uint32_t n = static_cast<uint32_t>(*size) - 1;
    if (n > r->fill) n = r->fill;
    std::memcpy(destination, r->buffer, n);
    destination[n] = '\0';
    std::memmove(r->buffer, r->buffer + n, r->fill - n);
    r->fill -= n;
    *size = static_cast<int32_t>(n);
    return 1;
}

int32_t Fill(int32_t port, int32_t* fill) {
    Section section(port);
    MonitorRecord* r = g_records[Slot(port)];
    if (!r || !fill) {
        if (fill) *fill = 0;
        return 0;
    }
    *fill = static_cast<int32_t>(r->fill);
    return 1;
}

int32_t Clear(int32_t port) {
    Section section(port);
    MonitorRecord* r = g_records[Slot(port)];
    if (!r) return 0;
    r->fill = 0;
    return 1;
}

int32_t Resize(int32_t port, int32_t* size) {
    uint32_t taken;
    {
        Section section(port);
        MonitorRecord* r = g_records[Slot(port)];
        if (!r || !size) return 0;
        uint32_t wanted =
            *size < RS_MONITOR_MIN_BUFFER ? RS_MONITOR_MIN_BUFFER : static_cast<uint32_t>(*size);
        // Never below the text held, so nothing unread is cut off.
        if (wanted < r->fill) wanted = r->fill;
        taken = 0;
        if (char* grown = static_cast<char*>(std::realloc(r->buffer, wanted))) {
            r->buffer = grown;
            taken = wanted;
        } else if (r->fill <= RS_MONITOR_BUFFER) {
            if (char* fallback = static_cast<char*>(std::realloc(r->buffer, RS_MONITOR_BUFFER))) {
                r->buffer = fallback;
                taken = RS_MONITOR_BUFFER;
            }
        }
        *size = static_cast<int32_t>(taken);
        if (taken != 0) {
            r->capacity = taken;
            return 1;
        }
    }
    Stop(port);
    return 0;
}

// Library load and unload: the load check against the core library, and at unload every port
// stopped so the core library never calls into a library that is gone.
struct LibraryLifetime {
    LibraryLifetime() {
        g_core.version = Lookup<KestruneVersionProc>(KESTRUNE_ORD_VERSION);
        g_core.usable = Lookup<KestruneUsableProc>(KESTRUNE_ORD_USABLE);
        g_core.enter = Lookup<KestruneSectionProc>(KESTRUNE_ORD_ENTER);
        g_core.leave = Lookup<KestruneSectionProc>(KESTRUNE_ORD_LEAVE);
        g_core.monitor = Lookup<KestruneMonitorProc>(KESTRUNE_ORD_MONITOR);
        g_core.ticks = Lookup<KestruneTicksProc>(KESTRUNE_ORD_TICKS);
        bool complete = g_core.version && g_core.usable && g_core.enter && g_core.leave &&
                        g_core.monitor && g_core.ticks;
        if (!complete || g_core.version() < kOldestCoreVersion) {
            // The stand-in for the "NOTE" message box: the library stays loaded but refuses
            // every operation.
            std::fputs("NOTE: Incompatible KESTRUNE.DLL !\n", stderr);
            return;
        }
        std::memset(g_records, 0, sizeof g_records);
        g_refused = false;
    }
    ~LibraryLifetime() {
        if (g_refused) return;
        for (int port = 0; port < kSlots; ++port) Stop(port);
        g_refused = true;
    }
} g_lifetime;

}  // namespace

extern "C" RS_KSMON_API int32_t RS_CALL RS_MonitorData(int32_t port, int32_t operation, void* first,
                                                       void* second) {
    auto* value = static_cast<int32_t*>(second);
    if (g_refused) {
        if ((operation == RS_MONITOR_READ || operation == RS_MONITOR_FILL) && value) *value = 0;
        return 0;
    }
    switch (operation) {
        case RS_MONITOR_STOP:
            return Stop(port);
        case RS_MONITOR_START:
            return Start(port, static_cast<const char*>(first), value);
        case RS_MONITOR_READ:
            return ReadOut(port, static_cast<char*>(first), value);
        case RS_MONITOR_FILL:
            return Fill(port, value);
        case RS_MONITOR_CLEAR:
            return Clear(port);
        case RS_MONITOR_RESIZE:
            return Resize(port, value);
        default:
            return 0;
    }
}
