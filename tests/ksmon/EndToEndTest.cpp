// The two libraries together over one kestrune loopback pair: an ANSI terminal on one end with
// a KSMON trace of its port, the remote end sending a cursor query and text.

#include <gtest/gtest.h>
#include <kestrune.h>
#include <ksmon.h>
#include <stdlib.h>
#include <terminal.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace {

constexpr int kPort = 40;
constexpr int kRemote = 41;

RS_POSITION g_cursor{1, 1};

void RS_CALL Display(int32_t, int32_t action, int32_t, void* pointer) {
    auto* pos = static_cast<RS_POSITION*>(pointer);
    if (action == RS_ACTION_GET_CURSOR) *pos = g_cursor;
    if (action == RS_ACTION_MOVE_CURSOR) g_cursor = *pos;
}

TEST(EndToEnd, TerminalAnswersAndTheMonitorTracesBothWays) {
    char dir[] = "/tmp/ksmon-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string file = std::string(dir) + "/trace.txt";

    ASSERT_EQ(KestruneOpenLoopback(kPort, kRemote), KESTRUNE_OK);
    int32_t mode = RS_MONITOR_PRINTABLE;
    ASSERT_EQ(RS_MonitorData(kPort, RS_MONITOR_START, file.data(), &mode), 1);
    RS_ANSIRECORD record{};
    record.callback = &Display;
    ASSERT_TRUE(RS_ANSIInit(kPort, &record));
    g_cursor = {4, 2};

    const std::string incoming = "\x1b[6nHi\r\n";
    ASSERT_EQ(KestruneWrite(kRemote, incoming.data(), static_cast<int>(incoming.size())), 8);
    std::string shown;
    char c;
    while (KestruneInputPending(kPort) > 0)
        if (RS_ANSIRead(kPort, &c)) shown += c;
    EXPECT_EQ(shown, "Hi\r");
    EXPECT_EQ(g_cursor.row, 3);  // the line feed moved the cursor down

    char reply[32] = {};
    EXPECT_EQ(KestruneRead(kRemote, reply, sizeof reply - 1), 6);
    EXPECT_STREQ(reply, "\x1b[2;4R");

    // One received block, then the answer sent a byte at a time.
    std::ifstream in(file, std::ios::binary);
    std::string trace((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string stamp = "[0-9]+,[0-9]{1,3}";
    std::string expected = "\\[ Rx 8  " + stamp + " \\]\r\n<1Bh>\\[6nHi<0Dh><0Ah>\r\n\n";
    for (const char* byte : {"<1Bh>", "\\[", "2", ";", "4", "R"})
        expected += "\\[ Tx 1  " + stamp + " \\]\r\n" + byte + "\r\n\n";
    EXPECT_TRUE(std::regex_match(trace, std::regex(expected))) << trace;

    EXPECT_EQ(RS_MonitorData(kPort, RS_MONITOR_STOP, nullptr, nullptr), 1);
    KestruneClose(kPort);
    KestruneClose(kRemote);
    std::string cmd = std::string("rm -rf '") + dir + "'";
    EXPECT_EQ(system(cmd.c_str()), 0);
}

}  // namespace
