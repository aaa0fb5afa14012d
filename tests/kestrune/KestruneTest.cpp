// The core serial library: numbered services, loopback pairs, tty devices (a pseudo-terminal
// stands in for the serial line), the exclusive section and the traffic monitor.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <kestrune.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

template <typename F>
F Service(int ordinal) {
    return reinterpret_cast<F>(KestruneFunction(ordinal));
}

const auto Usable = [](int port) { return Service<KestruneUsableProc>(45)(port); };
const auto GetByte = [](int port, unsigned char* b) {
    return Service<KestruneGetByteProc>(17)(port, b);
};
const auto PutByte = [](int port, unsigned char b) {
    return Service<KestrunePutByteProc>(18)(port, b);
};
const auto Monitor = [](int port, KestruneMonitorRecord* r) {
    return Service<KestruneMonitorProc>(155)(port, r);
};

// What the traffic callback saw.
struct Block {
    int port;
    int direction;
    std::string data;
};
std::mutex g_blocksMutex;
std::vector<Block> g_blocks;

void KESTRUNE_CALL Record(int port, int direction, const unsigned char* data, int length) {
    std::lock_guard lock(g_blocksMutex);
    g_blocks.push_back({port, direction, std::string(reinterpret_cast<const char*>(data), length)});
}

std::vector<Block> Blocks() {
    std::lock_guard lock(g_blocksMutex);
    return g_blocks;
}

class Loopback : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(KestruneOpenLoopback(10, 11), KESTRUNE_OK);
        std::lock_guard lock(g_blocksMutex);
        g_blocks.clear();
    }
    void TearDown() override {
        KestruneClose(10);
        KestruneClose(11);
    }
};

TEST(KestruneServices, EveryNumberTheLibrariesUseIsOffered) {
    for (int ordinal : {17, 18, 45, 47, 99, 118, 119, 155})
        EXPECT_NE(KestruneFunction(ordinal), nullptr) << ordinal;
    for (int ordinal : {-1, 0, 16, 46, 100, 154, 156, 1000})
        EXPECT_EQ(KestruneFunction(ordinal), nullptr) << ordinal;
}

TEST(KestruneServices, VersionIsAtLeast1280) {
    EXPECT_GE(Service<KestruneVersionProc>(99)(), 1280);
    EXPECT_EQ(Service<KestruneVersionProc>(99)(), KESTRUNE_VERSION);
}

TEST(KestruneServices, TimeStampCountsMilliseconds) {
    auto ticks = Service<KestruneTicksProc>(47);
    uint32_t before = ticks();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    uint32_t elapsed = ticks() - before;
    EXPECT_GE(elapsed, 50u);
    EXPECT_LT(elapsed, 5000u);
}

TEST(KestruneServices, ClosedPortIsNotUsable) {
    EXPECT_EQ(Usable(99), 0);
    unsigned char b = 7;
    EXPECT_EQ(GetByte(99, &b), 0);
    EXPECT_EQ(b, 7);
    EXPECT_EQ(PutByte(99, 1), 0);
    EXPECT_EQ(KestruneWrite(99, "x", 1), -1);
    EXPECT_EQ(KestruneRead(99, &b, 1), -1);
    EXPECT_EQ(KestruneInputPending(99), -1);
    EXPECT_EQ(KestruneClose(99), 0);
}

TEST_F(Loopback, WhatOneEndSendsTheOtherReceives) {
    EXPECT_EQ(Usable(10), 1);
    EXPECT_EQ(Usable(11), 1);
    EXPECT_EQ(KestruneWrite(10, "VERS\r", 5), 5);
    EXPECT_EQ(KestruneInputPending(11), 5);
    EXPECT_EQ(KestruneInputPending(10), 0);
    char buf[16] = {};
    EXPECT_EQ(KestruneRead(11, buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "VER");
    unsigned char b = 0;
    EXPECT_EQ(GetByte(11, &b), 1);
    EXPECT_EQ(b, 'S');
    EXPECT_EQ(GetByte(11, &b), 1);
    EXPECT_EQ(b, '\r');
    EXPECT_EQ(GetByte(11, &b), 0);
    EXPECT_EQ(GetByte(11, nullptr), 0);
}

TEST_F(Loopback, OneByteServiceSends) {
    EXPECT_EQ(PutByte(11, 0xFF), 1);
    EXPECT_EQ(PutByte(11, 0x00), 1);
    unsigned char buf[4];
    ASSERT_EQ(KestruneRead(10, buf, sizeof buf), 2);
    EXPECT_EQ(buf[0], 0xFF);
    EXPECT_EQ(buf[1], 0x00);
}

TEST_F(Loopback, PortsAreToldApartByTheLowEightBits) {
    EXPECT_EQ(Usable(10 + 256), 1);
    EXPECT_EQ(KestruneWrite(11 + 512, "a", 1), 1);
    EXPECT_EQ(KestruneInputPending(10 + 256), 1);
    EXPECT_EQ(KestruneOpenLoopback(10 + 256, 30), KESTRUNE_ERR_IN_USE);
}

TEST_F(Loopback, OpenRefusesPortsInUse) {
    EXPECT_EQ(KestruneOpenLoopback(11, 12), KESTRUNE_ERR_IN_USE);
    EXPECT_EQ(KestruneOpenLoopback(12, 12), KESTRUNE_ERR_IN_USE);
    EXPECT_EQ(KestruneOpen(10, "/dev/null", nullptr), KESTRUNE_ERR_IN_USE);
    EXPECT_EQ(Usable(12), 0);  // the refused pair left nothing half open
}

TEST_F(Loopback, ClosingOneEndLeavesTheOtherUnconnected) {
    ASSERT_EQ(KestruneWrite(10, "ab", 2), 2);
    EXPECT_EQ(KestruneClose(11), 1);
    EXPECT_EQ(Usable(11), 0);
    EXPECT_EQ(Usable(10), 1);
    EXPECT_EQ(KestruneWrite(10, "cd", 2), 2);  // sent into nothing
    ASSERT_EQ(KestruneOpenLoopback(11, 12), KESTRUNE_OK);
    EXPECT_EQ(KestruneInputPending(11), 0);  // reopening starts empty and is not joined to 10
    EXPECT_EQ(KestruneWrite(10, "ef", 2), 2);
    EXPECT_EQ(KestruneInputPending(11), 0);
    KestruneClose(12);
}

TEST_F(Loopback, BadArgumentsAreRefused) {
    EXPECT_EQ(KestruneWrite(10, nullptr, 3), -1);
    EXPECT_EQ(KestruneWrite(10, "x", -1), -1);
    EXPECT_EQ(KestruneWrite(10, nullptr, 0), 0);
    EXPECT_EQ(KestruneRead(10, nullptr, 4), 0);
    char c;
    EXPECT_EQ(KestruneRead(10, &c, 0), 0);
}

TEST_F(Loopback, MonitorSeesEveryBlockBothWays) {
    KestruneMonitorRecord reg{};
    reg.kind = KESTRUNE_MONITOR_KIND;
    reg.callback = &Record;
    ASSERT_EQ(Monitor(10, &reg), 1);
    EXPECT_NE(reg.handle, 0u);

    ASSERT_EQ(KestruneWrite(10, "EXIT\r", 5), 5);
    ASSERT_EQ(KestruneWrite(11, "ok", 2), 2);
    ASSERT_EQ(PutByte(10, 'Z'), 1);
    std::vector<Block> seen = Blocks();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].port, 10);
    EXPECT_NE(seen[0].direction, 0);
    EXPECT_EQ(seen[0].data, "EXIT\r");
    EXPECT_EQ(seen[1].direction, 0);
    EXPECT_EQ(seen[1].data, "ok");
    EXPECT_NE(seen[2].direction, 0);
    EXPECT_EQ(seen[2].data, "Z");

    // A second monitor is refused; the record handed back (a copy will do) removes it.
    KestruneMonitorRecord second{};
    second.kind = KESTRUNE_MONITOR_KIND;
    second.callback = &Record;
    EXPECT_EQ(Monitor(10, &second), 0);
    KestruneMonitorRecord copy = reg;
    EXPECT_EQ(Monitor(10, &copy), 1);
    EXPECT_EQ(Monitor(10, &copy), 0);  // already gone
    ASSERT_EQ(KestruneWrite(10, "x", 1), 1);
    EXPECT_EQ(Blocks().size(), 3u);
}

TEST_F(Loopback, MonitorRegistrationIsChecked) {
    KestruneMonitorRecord reg{};
    reg.callback = &Record;
    reg.kind = 31;
    EXPECT_EQ(Monitor(10, &reg), 0);
    reg.kind = KESTRUNE_MONITOR_KIND;
    EXPECT_EQ(Monitor(10, nullptr), 0);
    EXPECT_EQ(Monitor(40, &reg), 0);  // port not open
    KestruneMonitorRecord none{};
    none.kind = KESTRUNE_MONITOR_KIND;
    EXPECT_EQ(Monitor(10, &none), 0);  // no callback
    KestruneMonitorRecord forged{};
    forged.kind = KESTRUNE_MONITOR_KIND;
    forged.handle = 12345;
    EXPECT_EQ(Monitor(10, &forged), 0);
    EXPECT_EQ(sizeof(KestruneMonitorRecord), 20u);
}

TEST_F(Loopback, ClosingDropsTheMonitor) {
    KestruneMonitorRecord reg{};
    reg.kind = KESTRUNE_MONITOR_KIND;
    reg.callback = &Record;
    ASSERT_EQ(Monitor(10, &reg), 1);
    KestruneClose(10);
    KestruneClose(11);
    ASSERT_EQ(KestruneOpenLoopback(10, 11), KESTRUNE_OK);
    ASSERT_EQ(KestruneWrite(10, "x", 1), 1);
    EXPECT_TRUE(Blocks().empty());
}

TEST_F(Loopback, ExclusiveSectionHoldsOffOtherThreads) {
    auto enter = Service<KestruneSectionProc>(118);
    auto leave = Service<KestruneSectionProc>(119);
    enter(10);
    enter(10);  // the owner may enter again
    std::atomic<bool> done{false};
    std::thread sender([&] {
        KestruneWrite(10, "x", 1);
        done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(done);
    leave(10);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(done);
    leave(10);
    sender.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(KestruneInputPending(11), 1);
}

TEST_F(Loopback, BothEndsSendingAtOnceDoNotBlockEachOther) {
    KestruneMonitorRecord a{}, b{};
    a.kind = b.kind = KESTRUNE_MONITOR_KIND;
    a.callback = b.callback = &Record;
    ASSERT_EQ(Monitor(10, &a), 1);
    ASSERT_EQ(Monitor(11, &b), 1);
    auto pump = [](int port) {
        for (int i = 0; i < 2000; ++i) KestruneWrite(port, "abc", 3);
    };
    std::thread t1(pump, 10), t2(pump, 11);
    t1.join();
    t2.join();
    EXPECT_EQ(KestruneInputPending(10), 6000);
    EXPECT_EQ(KestruneInputPending(11), 6000);
    EXPECT_EQ(Blocks().size(), 8000u);  // each block seen sent and received
}

// ---- tty devices, through a pseudo-terminal

class Tty : public ::testing::Test {
protected:
    void SetUp() override {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(grantpt(master_), 0);
        ASSERT_EQ(unlockpt(master_), 0);
        slave_ = ptsname(master_);
        std::lock_guard lock(g_blocksMutex);
        g_blocks.clear();
    }
    void TearDown() override {
        KestruneClose(20);
        KestruneClose(21);
        if (master_ >= 0) close(master_);
    }

    // Waits until the port has received n bytes.
    bool WaitPending(int port, int n) {
        for (int i = 0; i < 300; ++i) {
            if (KestruneInputPending(port) >= n) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    std::string ReadMaster(size_t n) {
        std::string out;
        while (out.size() < n) {
            pollfd p = {master_, POLLIN, 0};
            if (poll(&p, 1, 3000) <= 0) break;
            char buf[256];
            ssize_t r = read(master_, buf, sizeof buf);
            if (r <= 0) break;
            out.append(buf, static_cast<size_t>(r));
        }
        return out;
    }

    int master_ = -1;
    std::string slave_;
};

TEST_F(Tty, OpensWithTheLineSettings) {
    ASSERT_EQ(KestruneOpen(20, slave_.c_str(), "19200,N,8,1"), KESTRUNE_OK);
    EXPECT_EQ(Usable(20), 1);
    int fd = open(slave_.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios tio{};
    ASSERT_EQ(tcgetattr(fd, &tio), 0);
    close(fd);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B19200));
    EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B19200));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);  // raw: bytes pass untouched
}

TEST_F(Tty, OtherSettings) {
    ASSERT_EQ(KestruneOpen(20, slave_.c_str(), "9600,E,7,2"), KESTRUNE_OK);
    int fd = open(slave_.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios tio{};
    ASSERT_EQ(tcgetattr(fd, &tio), 0);
    close(fd);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_EQ(tio.c_cflag & CSTOPB, static_cast<tcflag_t>(CSTOPB));
    // A pseudo-terminal always keeps 8 data bits without parity, so those two cannot be seen
    // here; a real serial device takes them as given.
}

TEST_F(Tty, BadSettingsAndMissingDevices) {
    for (const char* s : {"19201,N,8,1", "19200,X,8,1", "19200,N,9,1", "19200,N,8,3", "19200,N,8",
                          "19200,N,8,1,1", "", "abc,N,8,1", ",N,8,1"})
        EXPECT_EQ(KestruneOpen(20, slave_.c_str(), s), KESTRUNE_ERR_SETTINGS) << s;
    EXPECT_EQ(KestruneOpen(20, "/dev/no-such-tty-here", nullptr), KESTRUNE_ERR_NO_PORT);
    EXPECT_EQ(KestruneOpen(20, nullptr, nullptr), KESTRUNE_ERR_NO_PORT);
    EXPECT_EQ(KestruneOpen(20, "/dev/null", nullptr), KESTRUNE_ERR_UNAVAILABLE);  // not a tty
    EXPECT_EQ(Usable(20), 0);
}

TEST_F(Tty, DeviceOpenTwiceIsInUse) {
    ASSERT_EQ(KestruneOpen(20, slave_.c_str(), nullptr), KESTRUNE_OK);
    EXPECT_EQ(KestruneOpen(21, slave_.c_str(), nullptr), KESTRUNE_ERR_IN_USE);
    KestruneClose(20);
    EXPECT_EQ(KestruneOpen(21, slave_.c_str(), nullptr), KESTRUNE_OK);
}

TEST_F(Tty, BytesBothWaysAndTheMonitorSeesThem) {
    ASSERT_EQ(KestruneOpen(20, slave_.c_str(), nullptr), KESTRUNE_OK);
    KestruneMonitorRecord reg{};
    reg.kind = KESTRUNE_MONITOR_KIND;
    reg.callback = &Record;
    ASSERT_EQ(Monitor(20, &reg), 1);

    ASSERT_EQ(KestruneWrite(20, "EXIT\r\xff\r", 7), 7);
    EXPECT_EQ(ReadMaster(7), "EXIT\r\xff\r");

    const char reply[] = "line opened for operator commands\r\n";
    ASSERT_EQ(write(master_, reply, sizeof reply - 1), static_cast<ssize_t>(sizeof reply - 1));
    ASSERT_TRUE(WaitPending(20, sizeof reply - 1));
    std::string got;
    unsigned char b;
    while (GetByte(20, &b)) got += static_cast<char>(b);
    EXPECT_EQ(got, reply);

    std::vector<Block> seen = Blocks();
    ASSERT_GE(seen.size(), 2u);
    EXPECT_NE(seen[0].direction, 0);
    EXPECT_EQ(seen[0].data, "EXIT\r\xff\r");
    std::string received;
    for (size_t i = 1; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].direction, 0);
        received += seen[i].data;
    }
    EXPECT_EQ(received, reply);
}

TEST_F(Tty, HangUpMakesThePortUnusable) {
    ASSERT_EQ(KestruneOpen(20, slave_.c_str(), nullptr), KESTRUNE_OK);
    close(master_);
    master_ = -1;
    bool gone = false;
    for (int i = 0; i < 300 && !gone; ++i) {
        gone = Usable(20) == 0;
        if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(gone);
    EXPECT_EQ(KestruneWrite(20, "x", 1), 0);
    EXPECT_EQ(KestruneClose(20), 1);
}

}  // namespace
