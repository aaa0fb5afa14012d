// Registration, the cursor report, guards against null pointers, the record layout and the key
// translation tables.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "LoopbackDisplay.h"

namespace {

const std::string kEsc = "\x1b";
constexpr size_t kCb = sizeof(RS_DISPLAYPROC);

class Terminal : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(KestruneOpenLoopback(kTerminalPort, kRemotePort), KESTRUNE_OK);
        RecordingDisplay::current = &display_;
        ansi_.callback = &RecordingDisplay::Callback;
        vt52_.callback = &RecordingDisplay::Callback;
        tty_.callback = &RecordingDisplay::Callback;
    }
    void TearDown() override {
        KestruneClose(kTerminalPort);
        KestruneClose(kRemotePort);
        RecordingDisplay::current = nullptr;
    }

    RecordingDisplay display_;
    RS_ANSIRECORD ansi_{};
    RS_VT52RECORD vt52_{};
    RS_TTYRECORD tty_{};
};

TEST(TerminalLayout, RecordsArePackedAtTheirOffsets) {
    // On a 32-bit build kCb is 4 and these are the classic offsets 4, 24, 25, 26, 28, 30.
    EXPECT_EQ(offsetof(RS_ANSIRECORD, parameters), kCb);
    EXPECT_EQ(offsetof(RS_ANSIRECORD, state), kCb + 20);
    EXPECT_EQ(offsetof(RS_ANSIRECORD, reportAvailable), kCb + 21);
    EXPECT_EQ(offsetof(RS_ANSIRECORD, reportColumn), kCb + 22);
    EXPECT_EQ(offsetof(RS_ANSIRECORD, reportRow), kCb + 24);
    EXPECT_EQ(offsetof(RS_ANSIRECORD, saved), kCb + 26);
    EXPECT_EQ(sizeof(RS_ANSIRECORD), kCb + 30);
    EXPECT_EQ(offsetof(RS_VT52RECORD, parameters), kCb);
    EXPECT_EQ(offsetof(RS_VT52RECORD, state), kCb + 20);
    EXPECT_EQ(offsetof(RS_TTYRECORD, tabWidth), kCb);
    EXPECT_EQ(offsetof(RS_TTYRECORD, crAlsoFeedsLine), kCb + 1);
    EXPECT_EQ(offsetof(RS_TTYRECORD, reserved), kCb + 2);
    EXPECT_EQ(sizeof(RS_POSITION), 4u);
}

TEST_F(Terminal, AnsiInitAsksForCursorAndResetsTheRecord) {
    std::memset(ansi_.parameters, 'x', sizeof ansi_.parameters);
    ansi_.state = 3;
    ansi_.reportAvailable = 1;
    ansi_.reportColumn = 99;
    display_.cursor = {17, 5};
    ASSERT_TRUE(RS_ANSIInit(kTerminalPort, &ansi_));
    EXPECT_EQ(display_.Events(), "get");
    EXPECT_EQ(ansi_.state, RS_STATE_NORMAL);
    for (char c : ansi_.parameters) EXPECT_EQ(c, '\0');
    EXPECT_EQ(ansi_.reportAvailable, 0);
    EXPECT_EQ(ansi_.reportColumn, 1);
    EXPECT_EQ(ansi_.reportRow, 1);
    EXPECT_EQ(ansi_.saved.column, 17);
    EXPECT_EQ(ansi_.saved.row, 5);
}

TEST_F(Terminal, InitFailsOnAClosedPort) {
    EXPECT_FALSE(RS_ANSIInit(40, &ansi_));
    EXPECT_FALSE(RS_VT52Init(40, &vt52_));
    EXPECT_FALSE(RS_TTYInit(40, &tty_));
    EXPECT_TRUE(display_.events.empty());
    char c;
    EXPECT_FALSE(RS_ANSIRead(40, &c));
    EXPECT_FALSE(RS_VT52Read(40, &c));
    EXPECT_FALSE(RS_TTYRead(40, &c));
}

TEST_F(Terminal, InitWithoutRecordFails) {
    EXPECT_FALSE(RS_ANSIInit(kTerminalPort, nullptr));
    EXPECT_FALSE(RS_VT52Init(kTerminalPort, nullptr));
    EXPECT_FALSE(RS_TTYInit(kTerminalPort, nullptr));
}

TEST_F(Terminal, RecordWithoutCallbackIsNotRead) {
    RS_ANSIRECORD silent{};
    RS_VT52RECORD silentVt{};
    RS_TTYRECORD silentTty{};
    silentTty.reserved = 9;
    EXPECT_FALSE(RS_ANSIInit(kTerminalPort, &silent));
    EXPECT_FALSE(RS_VT52Init(kTerminalPort, &silentVt));
    EXPECT_FALSE(RS_TTYInit(kTerminalPort, &silentTty));
    EXPECT_EQ(silent.state, RS_STATE_NORMAL);
    EXPECT_EQ(silentVt.state, RS_STATE_NORMAL);
    EXPECT_EQ(silentTty.reserved, 0);
    SendFromRemote(kEsc + "[5Ax");
    char c;
    EXPECT_FALSE(RS_ANSIRead(kTerminalPort, &c));
    EXPECT_FALSE(RS_VT52Read(kTerminalPort, &c));
    EXPECT_FALSE(RS_TTYRead(kTerminalPort, &c));
    EXPECT_EQ(KestruneInputPending(kTerminalPort), 5);
}

TEST_F(Terminal, ReadWithNullCharacterPointerTakesNothing) {
    ASSERT_TRUE(RS_ANSIInit(kTerminalPort, &ansi_));
    ASSERT_TRUE(RS_VT52Init(kTerminalPort, &vt52_));
    ASSERT_TRUE(RS_TTYInit(kTerminalPort, &tty_));
    SendFromRemote("ab");
    EXPECT_FALSE(RS_ANSIRead(kTerminalPort, nullptr));
    EXPECT_FALSE(RS_VT52Read(kTerminalPort, nullptr));
    EXPECT_FALSE(RS_TTYRead(kTerminalPort, nullptr));
    EXPECT_EQ(KestruneInputPending(kTerminalPort), 2);
}

TEST_F(Terminal, ReadWithNothingReceivedIsFalse) {
    ASSERT_TRUE(RS_ANSIInit(kTerminalPort, &ansi_));
    char c = 'k';
    EXPECT_FALSE(RS_ANSIRead(kTerminalPort, &c));
    EXPECT_EQ(c, 'k');
}

TEST_F(Terminal, CursorReportIsStoredAndReturnedOnce) {
    ASSERT_TRUE(RS_ANSIInit(kTerminalPort, &ansi_));
    RS_POSITION pos{0, 0};
    EXPECT_FALSE(RS_ANSIGetXY(kTerminalPort, &pos));
    SendFromRemote(kEsc + "[10;");
    char c;
    EXPECT_FALSE(RS_ANSIRead(kTerminalPort, &c));
    EXPECT_FALSE(RS_ANSIGetXY(kTerminalPort, &pos));
    SendFromRemote("20R");
    EXPECT_FALSE(RS_ANSIRead(kTerminalPort, &c));
    ASSERT_TRUE(RS_ANSIGetXY(kTerminalPort, &pos));
    EXPECT_EQ(pos.column, 20);
    EXPECT_EQ(pos.row, 10);
    EXPECT_FALSE(RS_ANSIGetXY(kTerminalPort, &pos));
    // The stored report in the record, little-endian.
    const auto* raw = reinterpret_cast<const unsigned char*>(&ansi_);
    EXPECT_EQ(raw[kCb + 21], 0);
    EXPECT_EQ(raw[kCb + 22], 20);
    EXPECT_EQ(raw[kCb + 23], 0);
    EXPECT_EQ(raw[kCb + 24], 10);
    EXPECT_EQ(raw[kCb + 25], 0);
}

TEST_F(Terminal, CursorReportDefaultsToOne) {
    ASSERT_TRUE(RS_ANSIInit(kTerminalPort, &ansi_));
    SendFromRemote(kEsc + "[R");
    char c;
    EXPECT_FALSE(RS_ANSIRead(kTerminalPort, &c));
    RS_POSITION pos{0, 0};
    ASSERT_TRUE(RS_ANSIGetXY(kTerminalPort, &pos));
    EXPECT_EQ(pos.column, 1);
    EXPECT_EQ(pos.row, 1);
}

TEST_F(Terminal, GetXYGuards) {
    ASSERT_TRUE(RS_ANSIInit(kTerminalPort, &ansi_));
    SendFromRemote(kEsc + "[3;4R");
    char c;
    EXPECT_FALSE(RS_ANSIRead(kTerminalPort, &c));
    EXPECT_FALSE(RS_ANSIGetXY(kTerminalPort, nullptr));
    EXPECT_EQ(ansi_.reportAvailable, 1);  // a null pointer does not consume the report
    RS_POSITION pos{0, 0};
    EXPECT_FALSE(RS_ANSIGetXY(200, &pos));  // never registered
    EXPECT_TRUE(RS_ANSIGetXY(kTerminalPort, &pos));
}

TEST_F(Terminal, LineFeedEndsTheReadWithBytesLeft) {
    ASSERT_TRUE(RS_ANSIInit(kTerminalPort, &ansi_));
    SendFromRemote("\nX");
    char c = 0;
    EXPECT_FALSE(RS_ANSIRead(kTerminalPort, &c));
    EXPECT_EQ(KestruneInputPending(kTerminalPort), 1);
    EXPECT_TRUE(RS_ANSIRead(kTerminalPort, &c));
    EXPECT_EQ(c, 'X');
}

TEST_F(Terminal, TtyTakesOneBytePerRead) {
    ASSERT_TRUE(RS_TTYInit(kTerminalPort, &tty_));
    SendFromRemote("\nab");
    char c = 0;
    EXPECT_FALSE(RS_TTYRead(kTerminalPort, &c));
    EXPECT_EQ(KestruneInputPending(kTerminalPort), 2);
    EXPECT_TRUE(RS_TTYRead(kTerminalPort, &c));
    EXPECT_EQ(c, 'a');
    EXPECT_EQ(KestruneInputPending(kTerminalPort), 1);
}

TEST_F(Terminal, TtyBellSoundsOnStandardError) {
    ASSERT_TRUE(RS_TTYInit(kTerminalPort, &tty_));
    SendFromRemote("\a");
    ::testing::internal::CaptureStderr();
    char c;
    EXPECT_FALSE(RS_TTYRead(kTerminalPort, &c));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "\a");
}

TEST_F(Terminal, PortsAreToldApartByTheLowEightBits) {
    ASSERT_TRUE(RS_ANSIInit(kTerminalPort + 256, &ansi_));
    SendFromRemote(kEsc + "[2B");
    display_.cursor = {4, 4};
    display_.events.clear();
    char c;
    EXPECT_FALSE(RS_ANSIRead(kTerminalPort + 512, &c));
    EXPECT_EQ(display_.Events(), "get | move 4,6 | update 4,6");
}

TEST_F(Terminal, ReRegisteringReplacesTheRecord) {
    RS_ANSIRECORD first{};
    first.callback = &RecordingDisplay::Callback;
    ASSERT_TRUE(RS_ANSIInit(kTerminalPort, &first));
    SendFromRemote(kEsc + "[");
    char c;
    EXPECT_FALSE(RS_ANSIRead(kTerminalPort, &c));
    EXPECT_EQ(first.state, RS_STATE_CSI);
    ASSERT_TRUE(RS_ANSIInit(kTerminalPort, &ansi_));
    SendFromRemote("Z");
    EXPECT_TRUE(RS_ANSIRead(kTerminalPort, &c));  // the new record starts at rest
    EXPECT_EQ(c, 'Z');
    EXPECT_EQ(first.state, RS_STATE_CSI);
}

TEST_F(Terminal, EmulationsKeepSeparateRecordsPerPort) {
    ASSERT_EQ(KestruneOpenLoopback(3, 4), KESTRUNE_OK);
    RS_ANSIRECORD other{};
    other.callback = &RecordingDisplay::Callback;
    ASSERT_TRUE(RS_ANSIInit(kTerminalPort, &ansi_));
    ASSERT_TRUE(RS_ANSIInit(3, &other));
    SendFromRemote(kEsc + "[");
    ASSERT_EQ(KestruneWrite(4, "Q", 1), 1);
    char c;
    EXPECT_FALSE(RS_ANSIRead(kTerminalPort, &c));
    EXPECT_TRUE(RS_ANSIRead(3, &c));
    EXPECT_EQ(c, 'Q');
    EXPECT_EQ(ansi_.state, RS_STATE_CSI);
    EXPECT_EQ(other.state, RS_STATE_NORMAL);
    EXPECT_EQ(display_.Events(), "get | @3 get");  // each registration asked for its cursor
    KestruneClose(3);
    KestruneClose(4);
}

TEST_F(Terminal, OverlongSequenceNeverWritesPastTheText) {
    // The record sits between guard bytes; nothing but its own fields may change.
    struct Guarded {
        unsigned char before[16];
        RS_ANSIRECORD record;
        unsigned char after[16];
    } g;
    std::memset(&g, 0xA5, sizeof g);
    g.record.callback = &RecordingDisplay::Callback;
    ASSERT_TRUE(RS_ANSIInit(kTerminalPort, &g.record));
    display_.events.clear();
    SendFromRemote(kEsc + "[" + std::string(200, '7') + std::string(50, ';') + "m");
    char c;
    std::string returned;
    while (KestruneInputPending(kTerminalPort) > 0) {
        if (RS_ANSIRead(kTerminalPort, &c)) returned += c;
        EXPECT_LT(strnlen(g.record.parameters, RS_PARAMETER_TEXT), size_t{RS_PARAMETER_TEXT});
    }
    for (unsigned char b : g.before) EXPECT_EQ(b, 0xA5);
    for (unsigned char b : g.after) EXPECT_EQ(b, 0xA5);
    EXPECT_EQ(g.record.reportAvailable, 0);
    EXPECT_EQ(g.record.saved.column, 1);
    // 20 characters go to the display, then the rest is ordinary text.
    EXPECT_EQ(display_.events.size(), 1u);
    EXPECT_EQ(display_.events[0], "unknown " + std::string(20, '7'));
    EXPECT_EQ(returned, std::string(180, '7') + std::string(50, ';') + "m");
}

// ---- key translation

struct KeyCase {
    int key;
    const char* text;
};

TEST(TerminalTranslate, AnsiKeys) {
    const KeyCase cases[] = {
        {1, "\x1b[1A"},   {2, "\x1b[1B"},  {3, "\x1b[1C"},  {4, "\x1b[1D"},
        {5, "\x1b[1;1H"}, {7, "\x1b[2J"},  {8, "\x1b[K"},   {9, "\x1b[6n"},
        {10, "\x1b[s"},   {11, "\x1b[u"},  {12, "\x1b[1P"}, {13, "\x1b[1M"},
        {14, "\x1b[1T"},  {15, "\x1b[1S"}, {16, "\x1b[1L"}, {17, "\x1b[1@"},
    };
    for (const KeyCase& k : cases) {
        char text[RS_TRANSLATE_TEXT] = "garbage";
        EXPECT_TRUE(RS_TranslateToANSI(k.key, nullptr, text)) << k.key;
        EXPECT_STREQ(text, k.text) << k.key;
    }
    RS_POSITION pos{7, 12};
    char text[RS_TRANSLATE_TEXT];
    EXPECT_TRUE(RS_TranslateToANSI(6, &pos, text));
    EXPECT_STREQ(text, "\x1b[7;12H");  // first element, then second
}

TEST(TerminalTranslate, Vt52Keys) {
    const KeyCase cases[] = {
        {1,
         "\x1b"
         "A"},
        {2,
         "\x1b"
         "B"},
        {3,
         "\x1b"
         "C"},
        {4,
         "\x1b"
         "D"},
        {5,
         "\x1b"
         "H"},
        {7, "\x1bH\x1bJ"},
        {8,
         "\x1b"
         "K"},
        {9,
         "\x1b"
         "J"},
    };
    for (const KeyCase& k : cases) {
        char text[RS_TRANSLATE_TEXT] = "garbage";
        EXPECT_TRUE(RS_TranslateToVT52(k.key, nullptr, text)) << k.key;
        EXPECT_STREQ(text, k.text) << k.key;
    }
    RS_POSITION pos{3, 21};
    char text[RS_TRANSLATE_TEXT];
    EXPECT_TRUE(RS_TranslateToVT52(6, &pos, text));
    EXPECT_STREQ(text, "\x1bY3;21");
}

TEST(TerminalTranslate, TtyKeys) {
    const char expected[] = {7, 8, 9, 10, 12, 13};
    for (int key = 0; key < 6; ++key) {
        char text[RS_TRANSLATE_TEXT] = "garbage";
        EXPECT_TRUE(RS_TranslateToTTY(key, text));
        EXPECT_EQ(text[0], expected[key]);
        EXPECT_EQ(text[1], '\0');
    }
}

TEST(TerminalTranslate, UnknownKeysGiveEmptyText) {
    for (int key : {-1, 0, 18, 1000}) {
        char text[RS_TRANSLATE_TEXT] = "garbage";
        EXPECT_FALSE(RS_TranslateToANSI(key, nullptr, text));
        EXPECT_STREQ(text, "");
    }
    for (int key : {-1, 0, 10, 17}) {
        char text[RS_TRANSLATE_TEXT] = "garbage";
        EXPECT_FALSE(RS_TranslateToVT52(key, nullptr, text));
        EXPECT_STREQ(text, "");
    }
    for (int key : {-1, 6, 255}) {
        char text[RS_TRANSLATE_TEXT] = "garbage";
        EXPECT_FALSE(RS_TranslateToTTY(key, text));
        EXPECT_STREQ(text, "");
    }
}

TEST(TerminalTranslate, NullPointersAreRefused) {
    char text[RS_TRANSLATE_TEXT] = "garbage";
    EXPECT_FALSE(RS_TranslateToANSI(1, nullptr, nullptr));
    EXPECT_FALSE(RS_TranslateToVT52(1, nullptr, nullptr));
    EXPECT_FALSE(RS_TranslateToTTY(1, nullptr));
    EXPECT_FALSE(RS_TranslateToANSI(6, nullptr, text));
    EXPECT_STREQ(text, "");
    std::strcpy(text, "garbage");
    EXPECT_FALSE(RS_TranslateToVT52(6, nullptr, text));
    EXPECT_STREQ(text, "");
}

TEST(TerminalTranslate, WidestPositionFitsTheText) {
    struct {
        char text[RS_TRANSLATE_TEXT];
        char canary[8];
    } out;
    std::memset(&out, 'C', sizeof out);
    RS_POSITION pos{INT16_MIN, INT16_MIN};
    EXPECT_TRUE(RS_TranslateToANSI(6, &pos, out.text));
    EXPECT_STREQ(out.text, "\x1b[-32768;-32768H");
    EXPECT_TRUE(RS_TranslateToVT52(6, &pos, out.text));
    EXPECT_STREQ(out.text, "\x1bY-32768;-32768");
    for (char c : out.canary) EXPECT_EQ(c, 'C');
}

}  // namespace
