// Fuzz target: RS_MonitorData. The input is a little program of operations on a monitored
// loopback port: start (notation, trace file or not, file names of any length), stop, read out
// with any destination size, measure, clear, resize to any size, and blocks sent or received.
// Destinations are heap blocks of exactly the size given, so an overrun is caught.

#include <kestrune.h>
#include <ksmon.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kPort = 1;
constexpr int kRemote = 2;

void Check(bool condition) {
    if (!condition) std::abort();
}

struct Input {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool More() const { return at < size; }
    uint8_t Byte() { return at < size ? data[at++] : 0; }
    int32_t Int16() { return static_cast<int16_t>(Byte() | (Byte() << 8)); }
};

const std::string& Folder() {
    static const std::string folder = [] {
        char dir[] = "/tmp/ksmon-fuzz-XXXXXX";
        Check(mkdtemp(dir) != nullptr);
        return std::string(dir);
    }();
    return folder;
}

void RemoveFolderAtExit() {
    std::string cmd = "rm -rf '" + Folder() + "'";
    int ignored = system(cmd.c_str());
    (void)ignored;
}

void OpenPortsOnce() {
    static bool open = [] {
        Folder();
        std::atexit(RemoveFolderAtExit);
        return KestruneOpenLoopback(kPort, kRemote) == KESTRUNE_OK;
    }();
    Check(open);
}

int32_t Op(int op, void* first = nullptr, void* second = nullptr) {
    return RS_MonitorData(kPort, op, first, second);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OpenPortsOnce();
    Input in{data, size};
    bool monitored = false;
    uint32_t capacity = 0;
    std::string traceFile = Folder() + "/trace.txt";
    while (in.More()) {
        switch (in.Byte() % 10) {
            case 0:
                Check((Op(RS_MONITOR_STOP) != 0) == monitored);
                monitored = false;
                break;
            case 1: {
                uint8_t how = in.Byte();
                int32_t mode = static_cast<int8_t>(in.Byte());
                std::string name;
                const char* file = nullptr;
                if (how & 1) {
                    file = traceFile.c_str();
                } else if (how & 2) {
                    // A name of any length, up to well past the limit.
                    name = Folder() + "/" + std::string(in.Byte() + in.Byte(), 'n');
                    file = name.c_str();
                }
                int32_t result =
                    Op(RS_MONITOR_START, const_cast<char*>(file), (how & 4) ? nullptr : &mode);
                bool tooLong = file && std::strlen(file) >= RS_MONITOR_FILE_NAME;
                Check(result == (monitored || tooLong ? 0 : 1));
                if (result) {
                    monitored = true;
                    capacity = RS_MONITOR_BUFFER;
                }
                break;
            }
            case 2:
                Check(Op(RS_MONITOR_NOTHING) == 0);
                break;
            case 3: {
                int32_t wanted = in.Int16();
                int32_t given = wanted;
                std::unique_ptr<char[]> dest;
                if (wanted > 0) dest = std::make_unique<char[]>(static_cast<size_t>(wanted));
                int32_t fill = 0;
                Op(RS_MONITOR_FILL, nullptr, &fill);
                int32_t result = Op(RS_MONITOR_READ, dest.get(), &given);
                if (!monitored || !dest) {
                    Check(result == 0 && given == 0);
                } else {
                    Check(result == 1);
                    Check(given >= 0 && given <= fill && given < wanted);
                    if (given > 0) Check(dest[given] == '\0');
                }
                break;
            }
            case 4: {
                int32_t fill = -1;
                int32_t result = Op(RS_MONITOR_FILL, nullptr, &fill);
                Check(result == (monitored ? 1 : 0));
                Check(fill >= 0 && static_cast<uint32_t>(fill) <= capacity);
                if (!monitored) Check(fill == 0);
                break;
            }
            case 5:
                Check(Op(RS_MONITOR_CLEAR) == (monitored ? 1 : 0));
                break;
            case 6: {
                // Sizes up to a few hundred kilobytes, negative ones included.
                int32_t wanted = in.Int16() * 8;
                int32_t fill = 0;
                Op(RS_MONITOR_FILL, nullptr, &fill);
                int32_t result = Op(RS_MONITOR_RESIZE, nullptr, &wanted);
                Check(result == (monitored ? 1 : 0));
                if (monitored) {
                    Check(wanted >= RS_MONITOR_MIN_BUFFER && wanted >= fill);
                    capacity = static_cast<uint32_t>(wanted);
                }
                break;
            }
            case 7:
            case 8: {
                size_t n = in.Byte() * 4u;
                n = std::min(n, in.size - in.at);
                int from = (in.data[in.at - 1] & 1) ? kPort : kRemote;
                if (n > 0)
                    Check(KestruneWrite(from, in.data + in.at, static_cast<int>(n)) ==
                          static_cast<int>(n));
                in.at += n;
                char sink[1024];
                while (KestruneRead(from == kPort ? kRemote : kPort, sink, sizeof sink) > 0) {
                }
                break;
            }
            default: {
                int32_t value = 5;
                Check(RS_MonitorData(kPort, 7 + in.Byte(), nullptr, &value) == 0);
                break;
            }
        }
    }
    Op(RS_MONITOR_STOP);
    unlink(traceFile.c_str());
    return 0;
}
