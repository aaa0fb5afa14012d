// kestrune: numbered serial ports over a tty device or an in-memory loopback pair, and the
// numbered services the emulation and monitor libraries call.

#include "kestrune.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>

static_assert(sizeof(KestruneMonitorRecord) == 20, "the registration record is 20 bytes");

namespace {

constexpr int kSlotCount = 256;
constexpr int kReadChunk = 4096;
constexpr int kWriteWaitMs = 2000;  // a tty that takes nothing for this long is given up on

enum class Kind { None, Tty, Loopback };

struct Slot {
    // The port's exclusive section (ordinals 118/119). It guards every field below and is held
    // while the traffic callback runs, so a monitor never sees a block half delivered.
    std::recursive_mutex section;
    bool open = false;
    bool hungUp = false;  // the other end of the tty went away
    int number = 0;       // the port number as the owner gave it
    Kind kind = Kind::None;
    int fd = -1;
    int wakePipe[2] = {-1, -1};
    std::thread reader;
    int peer = -1;  // loopback partner's slot
    std::deque<unsigned char> rx;
    KestruneTrafficProc monitor = nullptr;
    uint32_t monitorHandle = 0;
};

// The slots are never destroyed: a monitor library unloading at process exit may still enter a
// port's section after this library's own exit handler has closed every port.
Slot* Slots() {
    static Slot* const slots = new Slot[kSlotCount];
    return slots;
}
std::mutex g_lifecycle;  // serialises opening and closing
std::atomic<uint32_t> g_nextHandle{1};

Slot& SlotOf(int port) {
    return Slots()[port & 0xFF];
}

bool Usable(const Slot& s) {
    return s.open && !s.hungUp;
}

// Hands a received block to the port: queued for reading and shown to its monitor.
void Deliver(Slot& s, const unsigned char* data, int length) {
    s.rx.insert(s.rx.end(), data, data + length);
    if (s.monitor) s.monitor(s.number, 0, data, length);
}

void ReaderLoop(Slot* s, int fd, int wakeFd) {
    unsigned char buf[kReadChunk];
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        int r = poll(fds, 2, -1);
        if (r < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[1].revents) break;  // closing
        if (fds[0].revents & POLLIN) {
            ssize_t n = read(fd, buf, sizeof buf);
            if (n > 0) {
                std::lock_guard lock(s->section);
                Deliver(*s, buf, static_cast<int>(n));
                continue;
            }
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        } else if (!(fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))) {
            continue;
        }
        // End of file, an error or a hang-up: the line is gone until the port is reopened.
        std::lock_guard lock(s->section);
        s->hungUp = true;
        break;
    }
}

speed_t BaudConstant(long baud) {
    switch (baud) {
        case 50:
            return B50;
        case 75:
            return B75;
        case 110:
            return B110;
        case 134:
            return B134;
        case 150:
            return B150;
        case 200:
            return B200;
        case 300:
            return B300;
        case 600:
            return B600;
        case 1200:
            return B1200;
        case 1800:
            return B1800;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        case 460800:
            return B460800;
        case 921600:
            return B921600;
        default:
            return 0;
    }
}

// Reads "baud,parity,data,stop" into the termios structure; false when not understood.
bool ApplySettings(const char* settings, termios& tio) {
    std::string text = settings ? settings : "19200,N,8,1";
    std::string fields[4];
    int count = 0;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        if (count == 4) return false;
        fields[count++] = text.substr(start, comma == std::string::npos ? comma : comma - start);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (count != 4) return false;
    char* end = nullptr;
    long baud = std::strtol(fields[0].c_str(), &end, 10);
    speed_t speed = BaudConstant(baud);
    if (fields[0].empty() || *end != '\0' || speed == 0) return false;
    if (fields[1].size() != 1 || fields[2].size() != 1 || fields[3].size() != 1) return false;

    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD;
    switch (fields[1][0]) {
        case 'N':
        case 'n':
            break;
        case 'E':
        case 'e':
            tio.c_cflag |= PARENB;
            break;
        case 'O':
        case 'o':
            tio.c_cflag |= PARENB | PARODD;
            break;
        default:
            return false;
    }
    switch (fields[2][0]) {
        case '5':
            tio.c_cflag |= CS5;
            break;
        case '6':
            tio.c_cflag |= CS6;
            break;
        case '7':
            tio.c_cflag |= CS7;
            break;
        case '8':
            tio.c_cflag |= CS8;
            break;
        default:
            return false;
    }
    switch (fields[3][0]) {
        case '1':
            break;
        case '2':
            tio.c_cflag |= CSTOPB;
            break;
        default:
            return false;
    }
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    return true;
}

// Writes the whole block to the tty, waiting while its output queue is full.
int WriteAll(int fd, const unsigned char* data, int length) {
    int done = 0;
    while (done < length) {
        ssize_t n = write(fd, data + done, static_cast<size_t>(length - done));
        if (n > 0) {
            done += static_cast<int>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p = {fd, POLLOUT, 0};
            if (poll(&p, 1, kWriteWaitMs) <= 0) break;
        } else {
            break;
        }
    }
    return done;
}

int KESTRUNE_CALL OrdUsable(int port) {
    Slot& s = SlotOf(port);
    std::lock_guard lock(s.section);
    return Usable(s) ? 1 : 0;
}

int KESTRUNE_CALL OrdGetByte(int port, unsigned char* byte) {
    if (!byte) return 0;
    Slot& s = SlotOf(port);
    std::lock_guard lock(s.section);
    if (!s.open || s.rx.empty()) return 0;
    *byte = s.rx.front();
    s.rx.pop_front();
    return 1;
}

int KESTRUNE_CALL OrdPutByte(int port, unsigned char byte) {
    return KestruneWrite(port, &byte, 1) == 1 ? 1 : 0;
}

uint32_t KESTRUNE_CALL OrdTicks(void) {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms =
        static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

uint16_t KESTRUNE_CALL OrdVersion(void) {
    return KESTRUNE_VERSION;
}

void KESTRUNE_CALL OrdEnter(int port) {
    SlotOf(port).section.lock();
}

void KESTRUNE_CALL OrdLeave(int port) {
    SlotOf(port).section.unlock();
}

int KESTRUNE_CALL OrdMonitor(int port, KestruneMonitorRecord* record) {
    if (!record || record->kind != KESTRUNE_MONITOR_KIND) return 0;
    Slot& s = SlotOf(port);
    std::lock_guard lock(s.section);
    if (!s.open) return 0;
    if (record->handle != 0) {
        // The record of an installed monitor: remove it.
        if (s.monitor == nullptr || record->handle != s.monitorHandle) return 0;
        s.monitor = nullptr;
        s.monitorHandle = 0;
        return 1;
    }
    if (!record->callback || s.monitor) return 0;
    uint32_t handle = g_nextHandle++;
    if (handle == 0) handle = g_nextHandle++;
    s.monitor = record->callback;
    s.monitorHandle = handle;
    record->handle = handle;
    return 1;
}

template <typename F>
KestruneProc AsProc(F f) {
    return reinterpret_cast<KestruneProc>(f);
}

// Closes every port still open when the program ends or the library is unloaded, so no reader
// thread outlives the code it runs.
struct CloseAllAtExit {
    ~CloseAllAtExit() {
        for (int i = 0; i < kSlotCount; ++i) {
            bool open;
            {
                std::lock_guard lock(Slots()[i].section);
                open = Slots()[i].open;
            }
            if (open) KestruneClose(i);
        }
    }
} g_closeAllAtExit;

}  // namespace

extern "C" {

KESTRUNE_API KestruneProc KESTRUNE_CALL KestruneFunction(int ordinal) {
    switch (ordinal) {
        case KESTRUNE_ORD_GET_BYTE:
            return AsProc(&OrdGetByte);
        case KESTRUNE_ORD_PUT_BYTE:
            return AsProc(&OrdPutByte);
        case KESTRUNE_ORD_USABLE:
            return AsProc(&OrdUsable);
        case KESTRUNE_ORD_TICKS:
            return AsProc(&OrdTicks);
        case KESTRUNE_ORD_VERSION:
            return AsProc(&OrdVersion);
        case KESTRUNE_ORD_ENTER:
            return AsProc(&OrdEnter);
        case KESTRUNE_ORD_LEAVE:
            return AsProc(&OrdLeave);
        case KESTRUNE_ORD_MONITOR:
            return AsProc(&OrdMonitor);
        default:
            return nullptr;
    }
}

KESTRUNE_API int KESTRUNE_CALL KestruneOpen(int port, const char* device, const char* settings) {
    std::lock_guard life(g_lifecycle);
    Slot& s = SlotOf(port);
    {
        std::lock_guard lock(s.section);
        if (s.open) return KESTRUNE_ERR_IN_USE;
    }
    termios tio{};
    if (!ApplySettings(settings, tio)) return KESTRUNE_ERR_SETTINGS;
    if (!device || !*device) return KESTRUNE_ERR_NO_PORT;

    int fd = open(device, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENXIO || errno == ENODEV || errno == ENOTDIR)
            return KESTRUNE_ERR_NO_PORT;
        return errno == EBUSY ? KESTRUNE_ERR_IN_USE : KESTRUNE_ERR_UNAVAILABLE;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        close(fd);
        return err == EWOULDBLOCK ? KESTRUNE_ERR_IN_USE : KESTRUNE_ERR_UNAVAILABLE;
    }
    if (!isatty(fd) || tcsetattr(fd, TCSANOW, &tio) != 0) {
        close(fd);
        return KESTRUNE_ERR_UNAVAILABLE;
    }
    tcflush(fd, TCIOFLUSH);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        close(fd);
        return KESTRUNE_ERR_UNAVAILABLE;
    }

    std::lock_guard lock(s.section);
    s.open = true;
    s.hungUp = false;
    s.number = port;
    s.kind = Kind::Tty;
    s.fd = fd;
    s.wakePipe[0] = pipeFds[0];
    s.wakePipe[1] = pipeFds[1];
    s.peer = -1;
    s.rx.clear();
    s.monitor = nullptr;
    s.monitorHandle = 0;
    s.reader = std::thread(ReaderLoop, &s, fd, pipeFds[0]);
    return KESTRUNE_OK;
}

KESTRUNE_API int KESTRUNE_CALL KestruneOpenLoopback(int portA, int portB) {
    std::lock_guard life(g_lifecycle);
    int a = portA & 0xFF;
    int b = portB & 0xFF;
    if (a == b) return KESTRUNE_ERR_IN_USE;
    for (int i : {a, b}) {
        std::lock_guard lock(Slots()[i].section);
        if (Slots()[i].open) return KESTRUNE_ERR_IN_USE;
    }
    for (auto [self, number, peer] : {std::tuple{a, portA, b}, std::tuple{b, portB, a}}) {
        Slot& s = Slots()[self];
        std::lock_guard lock(s.section);
        s.open = true;
        s.hungUp = false;
        s.number = number;
        s.kind = Kind::Loopback;
        s.fd = -1;
        s.peer = peer;
        s.rx.clear();
        s.monitor = nullptr;
        s.monitorHandle = 0;
    }
    return KESTRUNE_OK;
}

KESTRUNE_API int KESTRUNE_CALL KestruneClose(int port) {
    std::lock_guard life(g_lifecycle);
    Slot& s = SlotOf(port);
    std::thread reader;
    int wakeWrite = -1;
    {
        std::lock_guard lock(s.section);
        if (!s.open) return 0;
        reader = std::move(s.reader);
        wakeWrite = s.wakePipe[1];
    }
    if (reader.joinable()) {
        // The reader takes the section to deliver; it must be let go before waiting for it.
        char one = 1;
        ssize_t ignored = write(wakeWrite, &one, 1);
        (void)ignored;
        if (reader.get_id() == std::this_thread::get_id())
            reader.detach();
        else
            reader.join();
    }
    int peer;
    {
        std::lock_guard lock(s.section);
        if (s.fd >= 0) close(s.fd);
        for (int& p : s.wakePipe) {
            if (p >= 0) close(p);
            p = -1;
        }
        peer = s.peer;
        s.fd = -1;
        s.open = false;
        s.hungUp = false;
        s.kind = Kind::None;
        s.peer = -1;
        s.rx.clear();
        s.monitor = nullptr;
        s.monitorHandle = 0;
    }
    if (peer >= 0) {
        Slot& p = Slots()[peer];
        std::lock_guard lock(p.section);
        if (p.peer == (port & 0xFF)) p.peer = -1;
    }
    return 1;
}

KESTRUNE_API int KESTRUNE_CALL KestruneWrite(int port, const void* data, int length) {
    if (length < 0 || (length > 0 && !data)) return -1;
    const auto* bytes = static_cast<const unsigned char*>(data);
    Slot& s = SlotOf(port);
    int sent;
    int peer;
    {
        std::lock_guard lock(s.section);
        if (!s.open) return -1;
        if (length == 0) return 0;
        if (s.kind == Kind::Tty) {
            sent = s.hungUp ? 0 : WriteAll(s.fd, bytes, length);
        } else {
            sent = length;  // a loopback takes everything; an unconnected one loses it
        }
        if (sent > 0 && s.monitor) s.monitor(s.number, 1, bytes, sent);
        peer = s.kind == Kind::Loopback ? s.peer : -1;
    }
    // The partner's section is taken only after ours is left, so two ports sending to each other
    // from two threads cannot wait on each other.
    if (peer >= 0 && sent > 0) {
        Slot& p = Slots()[peer];
        std::lock_guard lock(p.section);
        if (p.open && p.peer == (port & 0xFF)) Deliver(p, bytes, sent);
    }
    return sent;
}

KESTRUNE_API int KESTRUNE_CALL KestruneRead(int port, void* buffer, int size) {
    Slot& s = SlotOf(port);
    std::lock_guard lock(s.section);
    if (!s.open) return -1;
    if (!buffer || size <= 0) return 0;
    int n = static_cast<int>(std::min<size_t>(s.rx.size(), static_cast<size_t>(size)));
    std::copy_n(s.rx.begin(), n, static_cast<unsigned char*>(buffer));
    s.rx.erase(s.rx.begin(), s.rx.begin() + n);
    return n;
}

KESTRUNE_API int KESTRUNE_CALL KestruneInputPending(int port) {
    Slot& s = SlotOf(port);
    std::lock_guard lock(s.section);
    if (!s.open) return -1;
    return static_cast<int>(s.rx.size());
}

}  // extern "C"
