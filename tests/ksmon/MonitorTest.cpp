// The port monitor over a kestrune loopback pair: traffic lines in the four notations, reading
// out, measuring, clearing and resizing the buffer, the trace file, and the guards.

#include <gtest/gtest.h>
#include <kestrune.h>
#include <ksmon.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>

namespace {

constexpr int kPort = 5;    // monitored
constexpr int kRemote = 6;  // the other end

int32_t Op(int port, int op, void* first = nullptr, void* second = nullptr) {
    return RS_MonitorData(port, op, first, second);
}

int32_t Start(int port, int32_t mode, const char* file = nullptr) {
    return Op(port, RS_MONITOR_START, const_cast<char*>(file), &mode);
}

int32_t FillOf(int port) {
    int32_t fill = -1;
    EXPECT_EQ(Op(port, RS_MONITOR_FILL, nullptr, &fill), 1);
    return fill;
}

// Everything the buffer holds, read out through operation 3.
std::string Contents(int port) {
    std::string out;
    std::string dest(70000, '\0');
    for (;;) {
        int32_t size = static_cast<int32_t>(dest.size());
        EXPECT_EQ(Op(port, RS_MONITOR_READ, dest.data(), &size), 1);
        if (size == 0) break;
        EXPECT_EQ(dest[size], '\0');
        out.append(dest.data(), static_cast<size_t>(size));
    }
    return out;
}

void Send(int port, const std::string& bytes) {
    ASSERT_EQ(KestruneWrite(port, bytes.data(), static_cast<int>(bytes.size())),
              static_cast<int>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Ticks() {
    return reinterpret_cast<KestruneTicksProc>(KestruneFunction(47))();
}

// Seconds and milliseconds as written: no padding, no leading zeros.
const std::string kStamp = "(0|[1-9][0-9]*),(0|[1-9][0-9]{0,2})";

class Monitor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(KestruneOpenLoopback(kPort, kRemote), KESTRUNE_OK);
        char dir[] = "/tmp/ksmon-test-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        dir_ = dir;
    }
    void TearDown() override {
        Op(kPort, RS_MONITOR_STOP);
        Op(kRemote, RS_MONITOR_STOP);
        KestruneClose(kPort);
        KestruneClose(kRemote);
        std::string cmd = "rm -rf '" + dir_ + "'";
        EXPECT_EQ(system(cmd.c_str()), 0);
    }
    std::string dir_;
};

TEST_F(Monitor, HexLineForThreeBytes) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
    uint32_t before = Ticks();
    Send(kPort, "AB\r");
    uint32_t after = Ticks();
    std::string text = Contents(kPort);
    std::smatch m;
    ASSERT_TRUE(
        std::regex_match(text, m, std::regex("\\[ Tx 3  " + kStamp + " \\]\r\n41 42 0D \r\n")))
        << text;
    uint32_t stamp = static_cast<uint32_t>(std::stoul(m[1]) * 1000 + std::stoul(m[2]));
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, after);
    EXPECT_EQ(FillOf(kPort), 0);
}

TEST_F(Monitor, PrintableLineForThreeBytes) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_PRINTABLE), 1);
    Send(kPort, "AB\r");
    EXPECT_TRUE(std::regex_match(Contents(kPort),
                                 std::regex("\\[ Tx 3  " + kStamp + " \\]\r\nAB<0Dh>\r\n")));
}

TEST_F(Monitor, PrintableRangeIsThirtyTwoToOneTwentySeven) {
    ASSERT_EQ(Start(kPort, 99), 1);  // any mode beyond 2 is the printable notation
    Send(kPort, std::string("\x1f \x7f\x80\xff", 5));
    EXPECT_TRUE(std::regex_match(
        Contents(kPort), std::regex("\\[ Tx 5  " + kStamp + " \\]\r\n<1Fh> \x7f<80h><FFh>\r\n")));
}

TEST_F(Monitor, DecimalAndRawNotations) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_DECIMAL), 1);
    ASSERT_EQ(Start(kRemote, RS_MONITOR_RAW), 1);
    Send(kPort, std::string("\0A\xff", 3));
    EXPECT_TRUE(std::regex_match(Contents(kPort),
                                 std::regex("\\[ Tx 3  " + kStamp + " \\]\r\n0 65 255 \r\n")));
    std::string raw = Contents(kRemote);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(raw, m, std::regex("^\\[ Rx 3  " + kStamp + " \\]\r\n")));
    EXPECT_EQ(raw.substr(m.length()), std::string("\0A\xff\r\n", 5));
}

TEST_F(Monitor, ReceivedBlocksAreRx) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
    Send(kRemote, "ok");
    EXPECT_TRUE(std::regex_match(Contents(kPort),
                                 std::regex("\\[ Rx 2  " + kStamp + " \\]\r\n6F 6B \r\n")));
}

TEST_F(Monitor, NoModePointerMeansHex) {
    ASSERT_EQ(Op(kPort, RS_MONITOR_START, nullptr, nullptr), 1);
    Send(kPort, "\x01");
    EXPECT_TRUE(
        std::regex_match(Contents(kPort), std::regex("\\[ Tx 1  " + kStamp + " \\]\r\n01 \r\n")));
}

TEST_F(Monitor, ReadOfSizeOneReturnsEmptyTextAndKeepsTheBuffer) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
    Send(kPort, "AB\r");
    int32_t fill = FillOf(kPort);
    ASSERT_GT(fill, 0);
    char dest[8];
    std::memset(dest, 'x', sizeof dest);
    int32_t size = 1;
    EXPECT_EQ(Op(kPort, RS_MONITOR_READ, dest, &size), 1);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(dest[0], '\0');
    EXPECT_EQ(dest[1], 'x');
    EXPECT_EQ(FillOf(kPort), fill);
}

TEST_F(Monitor, ReadOfSizeZeroWritesNothing) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
    Send(kPort, "AB\r");
    int32_t fill = FillOf(kPort);
    for (int32_t given : {0, -5}) {
        char dest[8];
        std::memset(dest, 'x', sizeof dest);
        int32_t size = given;
        EXPECT_EQ(Op(kPort, RS_MONITOR_READ, dest, &size), 1);
        EXPECT_EQ(size, 0);
        for (char c : dest) EXPECT_EQ(c, 'x');
        EXPECT_EQ(FillOf(kPort), fill);
    }
}

TEST_F(Monitor, ReadInPiecesMovesTheRestToTheStart) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_PRINTABLE), 1);
    Send(kPort, "0123456789abcdef");
    std::string all = Contents(kPort);
    Send(kPort, "0123456789abcdef");
    int32_t fill = FillOf(kPort);
    std::string pieces;
    char dest[10];
    for (;;) {
        int32_t size = sizeof dest;
        ASSERT_EQ(Op(kPort, RS_MONITOR_READ, dest, &size), 1);
        if (size == 0) break;
        EXPECT_LE(size, 9);
        EXPECT_EQ(dest[size], '\0');
        pieces.append(dest, static_cast<size_t>(size));
        fill -= size;
        EXPECT_EQ(FillOf(kPort), fill);
    }
    EXPECT_EQ(pieces.size(), all.size());
    EXPECT_EQ(pieces.substr(pieces.find(']')), all.substr(all.find(']')));
}

TEST_F(Monitor, ReadOfEmptyBufferLeavesDestinationUntouched) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
    char dest[8];
    std::memset(dest, 'x', sizeof dest);
    int32_t size = sizeof dest;
    EXPECT_EQ(Op(kPort, RS_MONITOR_READ, dest, &size), 1);
    EXPECT_EQ(size, 0);
    for (char c : dest) EXPECT_EQ(c, 'x');
}

TEST_F(Monitor, ClearEmptiesTheBuffer) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
    Send(kPort, "abc");
    EXPECT_GT(FillOf(kPort), 0);
    EXPECT_EQ(Op(kPort, RS_MONITOR_CLEAR), 1);
    EXPECT_EQ(FillOf(kPort), 0);
}

TEST_F(Monitor, OperationTwoDoesNothing) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
    Send(kPort, "abc");
    int32_t fill = FillOf(kPort);
    EXPECT_EQ(Op(kPort, RS_MONITOR_NOTHING), 0);
    EXPECT_EQ(FillOf(kPort), fill);
    EXPECT_EQ(Op(kPort, 7), 0);
    EXPECT_EQ(Op(kPort, -1), 0);
}

TEST_F(Monitor, ResizeToHundredGives8192) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
    int32_t size = 100;
    EXPECT_EQ(Op(kPort, RS_MONITOR_RESIZE, nullptr, &size), 1);
    EXPECT_EQ(size, 8192);
    size = -1;
    EXPECT_EQ(Op(kPort, RS_MONITOR_RESIZE, nullptr, &size), 1);
    EXPECT_EQ(size, 8192);
    size = 300000;
    EXPECT_EQ(Op(kPort, RS_MONITOR_RESIZE, nullptr, &size), 1);
    EXPECT_EQ(size, 300000);
}

// Lines until the buffer is full: a line is begun only with more than 32 bytes left; its data
// stop there; after that whole lines are dropped until the caller reads or clears.
TEST_F(Monitor, FullBufferDropsLines) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
    int32_t size = 100;
    ASSERT_EQ(Op(kPort, RS_MONITOR_RESIZE, nullptr, &size), 1);
    const std::string block(100, 'Z');
    int32_t fill = 0;
    int lines = 0;
    while (fill < 8192 - 32) {
        Send(kPort, block);
        int32_t now = FillOf(kPort);
        ASSERT_GT(now, fill);
        fill = now;
        ++lines;
        ASSERT_LT(lines, 100);
    }
    EXPECT_LE(fill, 8192);
    Send(kPort, block);
    EXPECT_EQ(FillOf(kPort), fill);  // dropped whole
    std::string text = Contents(kPort);
    ASSERT_EQ(text.size(), static_cast<size_t>(fill));
    // Every line but the last is complete; the last is cut short but still ends the line.
    std::regex whole("\\[ Tx 100  " + kStamp + " \\]\r\n(5A ){100}\r\n");
    size_t at = 0;
    for (int i = 0; i < lines - 1; ++i) {
        size_t end = text.find("\r\n", text.find("]\r\n", at) + 3) + 2;
        EXPECT_TRUE(std::regex_match(text.substr(at, end - at), whole)) << i;
        at = end;
    }
    EXPECT_TRUE(std::regex_match(text.substr(at),
                                 std::regex("\\[ Tx 100  " + kStamp + " \\]\r\n(5A ){0,100}\r\n")));
    // After clearing, lines are taken again.
    EXPECT_EQ(Op(kPort, RS_MONITOR_CLEAR), 1);
    Send(kPort, "x");
    EXPECT_GT(FillOf(kPort), 0);
}

TEST_F(Monitor, BlockLargerThanTheBufferNeverOverflows) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_PRINTABLE), 1);
    int32_t size = 8192;
    ASSERT_EQ(Op(kPort, RS_MONITOR_RESIZE, nullptr, &size), 1);
    Send(kPort, std::string(20000, '\x01'));  // five characters each
    int32_t fill = FillOf(kPort);
    EXPECT_LE(fill, 8192);
    EXPECT_GE(fill, 8192 - 32);
    std::string text = Contents(kPort);
    EXPECT_EQ(text.substr(text.size() - 7), "<01h>\r\n");
}

TEST_F(Monitor, ResizeBelowTheFillKeepsTheText) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
    for (int i = 0; i < 40; ++i) Send(kPort, std::string(200, 'q'));
    int32_t fill = FillOf(kPort);
    ASSERT_GT(fill, 20000);
    int32_t size = 9000;
    EXPECT_EQ(Op(kPort, RS_MONITOR_RESIZE, nullptr, &size), 1);
    EXPECT_GE(size, fill);
    EXPECT_EQ(FillOf(kPort), fill);
    Send(kPort, "more");  // no room for a line
    EXPECT_EQ(FillOf(kPort), fill);
    std::string text = Contents(kPort);
    EXPECT_EQ(text.size(), static_cast<size_t>(fill));
    EXPECT_EQ(text.substr(text.size() - 5), "71 \r\n");
}

TEST_F(Monitor, TraceFileGetsEachBlockAndEmptiesTheBuffer) {
    std::string file = dir_ + "/trace.txt";
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX, file.c_str()), 1);
    Send(kPort, "AB\r");
    EXPECT_EQ(FillOf(kPort), 0);
    Send(kRemote, "ok");
    EXPECT_EQ(FillOf(kPort), 0);
    EXPECT_TRUE(std::regex_match(ReadFile(file),
                                 std::regex("\\[ Tx 3  " + kStamp + " \\]\r\n41 42 0D \r\n\n" +
                                            "\\[ Rx 2  " + kStamp + " \\]\r\n6F 6B \r\n\n")))
        << ReadFile(file);
}

TEST_F(Monitor, TraceFileKeepsNulBytesOfTheRawNotation) {
    std::string file = dir_ + "/raw.txt";
    ASSERT_EQ(Start(kPort, RS_MONITOR_RAW, file.c_str()), 1);
    Send(kPort, std::string("A\0B", 3));
    std::string text = ReadFile(file);
    ASSERT_GE(text.size(), 6u);
    EXPECT_EQ(text.substr(text.size() - 6), std::string("A\0B\r\n\n", 6));
}

TEST_F(Monitor, UnopenableFileKeepsTheLineInTheBuffer) {
    std::string file = dir_ + "/missing/folder/trace.txt";
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX, file.c_str()), 1);
    Send(kPort, "AB\r");
    EXPECT_TRUE(std::regex_match(Contents(kPort),
                                 std::regex("\\[ Tx 3  " + kStamp + " \\]\r\n41 42 0D \r\n")));
}

// Regression: a trace file on a full disk took nothing, and the line was
// thrown away as if written.
TEST_F(Monitor, AFullDiskKeepsTheLineInTheBuffer) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX, "/dev/full"), 1);
    Send(kPort, "AB\r");
    EXPECT_TRUE(std::regex_match(Contents(kPort),
                                 std::regex("\\[ Tx 3  " + kStamp + " \\]\r\n41 42 0D \r\n")));
}

TEST_F(Monitor, FileNameOf260CharactersIsRefused) {
    std::string longName = dir_ + "/" + std::string(260 - dir_.size() - 1, 'n');
    ASSERT_EQ(longName.size(), 260u);
    EXPECT_EQ(Start(kPort, RS_MONITOR_HEX, longName.c_str()), 0);
    int32_t fill = 5;
    EXPECT_EQ(Op(kPort, RS_MONITOR_FILL, nullptr, &fill), 0);  // not monitored
    longName.pop_back();
    EXPECT_EQ(Start(kPort, RS_MONITOR_HEX, longName.c_str()), 1);
    Send(kPort, "x");
    EXPECT_EQ(FillOf(kPort), 0);
    EXPECT_EQ(ReadFile(longName).back(), '\n');
}

TEST_F(Monitor, StartIsRefusedTwiceAndOnClosedPorts) {
    EXPECT_EQ(Start(77, RS_MONITOR_HEX), 0);
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
    EXPECT_EQ(Start(kPort, RS_MONITOR_PRINTABLE), 0);
    EXPECT_EQ(Start(kPort + 256, RS_MONITOR_PRINTABLE), 0);  // the same port by its low 8 bits
    Send(kPort, "A");
    EXPECT_TRUE(std::regex_search(Contents(kPort + 512), std::regex("\r\n41 \r\n$")));
}

TEST_F(Monitor, OperationsOnAnUnmonitoredPort) {
    int32_t value = 77;
    char dest[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(Op(kPort, RS_MONITOR_READ, dest, &value), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(dest[0], 'x');
    value = 77;
    EXPECT_EQ(Op(kPort, RS_MONITOR_FILL, nullptr, &value), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(Op(kPort, RS_MONITOR_CLEAR), 0);
    value = 10000;
    EXPECT_EQ(Op(kPort, RS_MONITOR_RESIZE, nullptr, &value), 0);
    EXPECT_EQ(Op(kPort, RS_MONITOR_STOP), 0);
}

TEST_F(Monitor, OperationsWithoutTheirPointers) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
    Send(kPort, "abc");
    int32_t value = 77;
    EXPECT_EQ(Op(kPort, RS_MONITOR_READ, nullptr, &value), 0);
    EXPECT_EQ(value, 0);
    char dest[8];
    EXPECT_EQ(Op(kPort, RS_MONITOR_READ, dest, nullptr), 0);
    EXPECT_EQ(Op(kPort, RS_MONITOR_FILL, nullptr, nullptr), 0);
    EXPECT_EQ(Op(kPort, RS_MONITOR_RESIZE, nullptr, nullptr), 0);
    EXPECT_GT(FillOf(kPort), 0);
}

TEST_F(Monitor, StopTakesTheCallbackOutOfTheCoreLibrary) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
    EXPECT_EQ(Op(kPort, RS_MONITOR_STOP), 1);
    EXPECT_EQ(Op(kPort, RS_MONITOR_STOP), 0);
    int32_t fill = 3;
    EXPECT_EQ(Op(kPort, RS_MONITOR_FILL, nullptr, &fill), 0);
    // The port takes a new monitor: the old one is gone.
    KestruneMonitorRecord reg{};
    reg.kind = KESTRUNE_MONITOR_KIND;
    reg.callback = [](int, int, const unsigned char*, int) {};
    auto monitor = reinterpret_cast<KestruneMonitorProc>(KestruneFunction(155));
    EXPECT_EQ(monitor(kPort, &reg), 1);
    EXPECT_EQ(monitor(kPort, &reg), 1);
    // Monitoring can start again.
    EXPECT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
}

TEST_F(Monitor, StopAfterThePortClosedStillReleasesIt) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_HEX), 1);
    KestruneClose(kPort);
    KestruneClose(kRemote);
    EXPECT_EQ(Op(kPort, RS_MONITOR_STOP), 0);
    ASSERT_EQ(KestruneOpenLoopback(kPort, kRemote), KESTRUNE_OK);
    EXPECT_EQ(Start(kPort, RS_MONITOR_PRINTABLE), 1);
    Send(kPort, "A");
    EXPECT_TRUE(std::regex_search(Contents(kPort), std::regex("\r\nA\r\n$")));
}

TEST_F(Monitor, TrafficFromAnotherThreadWhileReading) {
    ASSERT_EQ(Start(kPort, RS_MONITOR_RAW), 1);
    int32_t size = 1 << 20;
    ASSERT_EQ(Op(kPort, RS_MONITOR_RESIZE, nullptr, &size), 1);
    std::atomic<bool> done{false};
    std::thread sender([&] {
        for (int i = 0; i < 3000; ++i) KestruneWrite(kRemote, "abc", 3);
        done = true;
    });
    std::string all;
    char dest[97];
    while (!done || FillOf(kPort) > 0) {
        int32_t n = sizeof dest;
        ASSERT_EQ(Op(kPort, RS_MONITOR_READ, dest, &n), 1);
        all.append(dest, static_cast<size_t>(n));
    }
    sender.join();
    size_t count = 0;
    for (size_t at = 0; (at = all.find("]\r\nabc\r\n", at)) != std::string::npos; ++at) ++count;
    EXPECT_EQ(count, 3000u);
}

}  // namespace
