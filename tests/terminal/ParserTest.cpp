// The three parsers as data: bytes in (in chunks, each chunk read out before the next arrives),
// display actions by name ("get | move 10,5 | update 10,5", as the recording display writes
// them), returned characters and bytes sent back on the line out.

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "LoopbackDisplay.h"

namespace {

enum class Emulation { Ansi, Vt52, Tty };

struct ParserCase {
    const char* name;
    Emulation emulation;
    RS_POSITION start;                // cursor when the bytes arrive
    std::vector<std::string> chunks;  // each written by the remote end, then read out
    std::string events;               // display actions by name, " | " between them
    std::string returned;             // ordinary characters handed back
    std::string reply = "";           // bytes the terminal sent back
    uint8_t ttyFlags = 0;             // TTY: non-zero = CR also feeds a line
};

const std::string kEsc = "\x1b";

std::string Overlong19() {
    return "1234567890123456789";
}

const ParserCase kCases[] = {
    // ---- ANSI cursor movement
    {"AnsiUpFive", Emulation::Ansi, {10, 10}, {kEsc + "[5A"}, "get | move 10,5 | update 10,5", ""},
    {"AnsiUpDefaultOne",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[A"},
     "get | move 10,9 | update 10,9",
     ""},
    {"AnsiUpZeroStays",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[0A"},
     "get | move 10,10 | update 10,10",
     ""},
    {"AnsiDownTwo",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[2B"},
     "get | move 10,12 | update 10,12",
     ""},
    {"AnsiDownClampedByDisplay",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[99B"},
     "get | move 10,24 | update 10,24",
     ""},
    {"AnsiRightThree",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[3C"},
     "get | move 13,10 | update 13,10",
     ""},
    {"AnsiLeftDefault",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[D"},
     "get | move 9,10 | update 9,10",
     ""},
    {"AnsiNextLineIgnoresCount",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[5E"},
     "get | move 10,11 | update 10,11",
     ""},
    {"AnsiColumn",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[42G"},
     "get | move 42,10 | update 42,10",
     ""},
    {"AnsiPositionRowColumn",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[5;17H"},
     "get | move 17,5 | update 17,5",
     ""},
    {"AnsiPositionWithF",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[5;17f"},
     "get | move 17,5 | update 17,5",
     ""},
    {"AnsiPositionThreeDigitsUsesTwo",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[123H"},
     "get | move 1,12 | update 1,12",
     ""},
    {"AnsiPositionHome",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[H"},
     "get | move 1,1 | update 1,1",
     ""},
    {"AnsiPositionEmptyRow",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[;5H"},
     "get | move 5,1 | update 5,1",
     ""},
    {"AnsiPositionEmptyColumn",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[7;H"},
     "get | move 1,7 | update 1,7",
     ""},
    {"AnsiPositionThirdParameterIgnored",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[2;3;4H"},
     "get | move 3,2 | update 3,2",
     ""},
    {"AnsiPositionClampedByDisplay",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[99;99H"},
     "get | move 80,24 | update 80,24",
     ""},
    {"AnsiSplitAcrossReads",
     Emulation::Ansi,
     {10, 10},
     {kEsc, "[", "1", "2;", "3", "0H"},
     "get | move 30,12 | update 30,12",
     ""},
    {"AnsiSplitUpFive",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[", "5", "A"},
     "get | move 10,5 | update 10,5",
     ""},

    // ---- ANSI erasing, editing, rendition
    {"AnsiEraseDisplayAll",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[2J"},
     "get | erase-display 2 4,6 | get | move 4,6 | update 4,6",
     ""},
    {"AnsiEraseDisplayDefaultZero",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[J"},
     "get | erase-display 0 4,6 | get | move 4,6 | update 4,6",
     ""},
    {"AnsiEraseLineDefaultZero",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[K"},
     "get | erase-line 0 4,6 | move 4,6 | update 4,6",
     ""},
    {"AnsiEraseLineOne",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[1K"},
     "get | erase-line 1 4,6 | move 4,6 | update 4,6",
     ""},
    {"AnsiRenditionFirstParameter",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[1;31m"},
     "get | rendition 1 null | move 4,6 | update 4,6",
     ""},
    {"AnsiRenditionDefaultZero",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[m"},
     "get | rendition 0 null | move 4,6 | update 4,6",
     ""},
    {"AnsiDeleteCharacters",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[3P"},
     "get | delete-chars 3 4,6 | move 4,6 | update 4,6",
     ""},
    {"AnsiDeleteLinesDefault",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[M"},
     "get | delete-lines 1 4,6 | move 4,6 | update 4,6",
     ""},
    {"AnsiScrollDown",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[2T"},
     "get | scroll-down 2 4,6 | move 4,6 | update 4,6",
     ""},
    {"AnsiScrollUp",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[S"},
     "get | scroll-up 1 4,6 | move 4,6 | update 4,6",
     ""},
    {"AnsiInsertLines",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[4L"},
     "get | insert-lines 4 4,6 | move 4,6 | update 4,6",
     ""},
    {"AnsiInsertCharacters",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[@"},
     "get | insert-chars 1 4,6 | move 4,6 | update 4,6",
     ""},
    {"AnsiInsertZeroStaysZero",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[0@"},
     "get | insert-chars 0 4,6 | move 4,6 | update 4,6",
     ""},

    // ---- ANSI unknown and over-long sequences
    {"AnsiUnknownFinal",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[2q"},
     "get | unknown 2q | move 10,10 | update 10,10",
     ""},
    {"AnsiPrivateModeIsUnknown",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[?25h"},
     "get | unknown ? | move 10,10 | update 10,10",
     "25h"},
    {"AnsiOverlongDropped",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[" + Overlong19() + "H"},
     "unknown " + Overlong19() + "H",
     ""},
    {"AnsiOverlongRestIsText",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[" + Overlong19() + "05H"},
     "unknown " + Overlong19() + "0",
     "5H"},
    {"AnsiOverlongSplit",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[1234567", "8901234567", "89", "9Z"},
     "unknown " + Overlong19() + "9",
     "Z"},
    {"AnsiEighteenCharactersAccepted",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[12;34" + std::string(13, ';') + "H"},
     "get | move 34,12 | update 34,12",
     ""},
    {"AnsiParameterCutToTwoCharacters",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[0009;123H"},
     "get | move 12,1 | update 12,1",
     ""},

    // ---- ANSI after ESC
    {"AnsiEscQIsOrdinary", Emulation::Ansi, {10, 10}, {kEsc + "Q"}, "", "Q"},
    {"AnsiEscEscReturnsEscape", Emulation::Ansi, {10, 10}, {kEsc + kEsc + "x"}, "", kEsc + "x"},
    {"AnsiEscNextLine",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "E"},
     "get | move 10,11 | update 10,11",
     ""},
    {"AnsiSaveMoveRestore",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "7", kEsc + "[1;1H", kEsc + "8"},
     "get | get | move 1,1 | update 1,1 | move 10,10 | update 10,10",
     ""},
    {"AnsiCsiSaveRestore",
     Emulation::Ansi,
     {7, 9},
     {kEsc + "[s", kEsc + "[3;3H", kEsc + "[u"},
     "get | get | move 7,9 | update 7,9 | "
     "get | move 3,3 | update 3,3 | "
     "get | move 7,9 | update 7,9",
     ""},

    // ---- ANSI control characters
    {"AnsiLineFeedConsumed",
     Emulation::Ansi,
     {10, 10},
     {"A\nB"},
     "get | move 10,11 | update 10,11",
     "AB"},
    {"AnsiVerticalTabFeedsLine",
     Emulation::Ansi,
     {10, 10},
     {"\x0b"},
     "get | move 10,11 | update 10,11",
     ""},
    {"AnsiCarriageReturnReturned", Emulation::Ansi, {10, 10}, {"\r"}, "", "\r"},
    {"AnsiTextThenSequenceThenText",
     Emulation::Ansi,
     {10, 10},
     {"ab" + kEsc + "[Hcd"},
     "get | move 1,1 | update 1,1",
     "abcd"},

    // ---- ANSI status queries answered on the line
    {"AnsiCursorReportQuery",
     Emulation::Ansi,
     {7, 3},
     {kEsc + "[6n"},
     "get | move 7,3 | update 7,3",
     "",
     kEsc + "[3;7R"},
    {"AnsiCursorReportQuerySplit",
     Emulation::Ansi,
     {12, 24},
     {kEsc + "[", "6", "n"},
     "get | move 12,24 | update 12,24",
     "",
     kEsc + "[24;12R"},
    {"AnsiStatusQuery",
     Emulation::Ansi,
     {7, 3},
     {kEsc + "[5n"},
     "get | move 7,3 | update 7,3",
     "",
     kEsc + "[0n"},
    {"AnsiOtherQueryNoReply",
     Emulation::Ansi,
     {7, 3},
     {kEsc + "[n", kEsc + "[7n"},
     "get | move 7,3 | update 7,3 | get | move 7,3 | update 7,3",
     "",
     ""},

    // ---- VT52 (every byte first asks for the cursor)
    {"Vt52Ordinary", Emulation::Vt52, {10, 10}, {"x"}, "get", "x"},
    {"Vt52LineFeedIsOrdinary", Emulation::Vt52, {10, 10}, {"\n"}, "get", "\n"},
    {"Vt52Up", Emulation::Vt52, {10, 10}, {kEsc + "A"}, "get | get | move 10,9 | update 10,9", ""},
    {"Vt52ReverseLineFeed",
     Emulation::Vt52,
     {10, 10},
     {kEsc + "I"},
     "get | get | move 10,9 | update 10,9",
     ""},
    {"Vt52Down",
     Emulation::Vt52,
     {10, 10},
     {kEsc + "B"},
     "get | get | move 10,11 | update 10,11",
     ""},
    {"Vt52Right",
     Emulation::Vt52,
     {10, 10},
     {kEsc + "C"},
     "get | get | move 11,10 | update 11,10",
     ""},
    {"Vt52Left",
     Emulation::Vt52,
     {10, 10},
     {kEsc + "D"},
     "get | get | move 9,10 | update 9,10",
     ""},
    {"Vt52Home", Emulation::Vt52, {10, 10}, {kEsc + "H"}, "get | get | move 1,1 | update 1,1", ""},
    {"Vt52EraseScreen",
     Emulation::Vt52,
     {10, 10},
     {kEsc + "J"},
     "get | get | erase-display 0 null | get | move 10,10 | update 10,10",
     ""},
    {"Vt52EraseLine",
     Emulation::Vt52,
     {10, 10},
     {kEsc + "K"},
     "get | get | erase-line 0 null | get | move 10,10 | update 10,10",
     ""},
    {"Vt52UnknownEscape",
     Emulation::Vt52,
     {10, 10},
     {kEsc + "Z"},
     "get | get | rendition 0 Z | get | move 10,10 | update 10,10",
     ""},
    {"Vt52DirectAddress",
     Emulation::Vt52,
     {10, 10},
     {kEsc + "Y" + char(32 + 4) + char(32 + 9)},
     "get | get | get | get | move 10,5 | update 10,5",
     ""},
    {"Vt52DirectAddressSplit",
     Emulation::Vt52,
     {10, 10},
     {kEsc, "Y", std::string(1, char(32 + 0)), std::string(1, char(32 + 79)) + "z"},
     "get | get | get | get | move 80,1 | update 80,1 | get",
     "z"},
    {"Vt52SplitEscape",
     Emulation::Vt52,
     {10, 10},
     {kEsc, "B"},
     "get | get | move 10,11 | update 10,11",
     ""},

    // ---- TTY (one byte per read)
    {"TtyOrdinary", Emulation::Tty, {10, 10}, {"q"}, "get", "q"},
    {"TtyVerticalTabIsOrdinary", Emulation::Tty, {10, 10}, {"\x0b"}, "get", "\x0b"},
    {"TtyBackspace", Emulation::Tty, {5, 3}, {"\b"}, "get | move 4,3 | move 4,3 | update 4,3", ""},
    {"TtyBackspaceAtHomeStays",
     Emulation::Tty,
     {1, 1},
     {"\b"},
     "get | move 1,1 | move 1,1 | move 1,1 | update 1,1",
     ""},
    {"TtyBackspaceWrapsToPreviousLine",
     Emulation::Tty,
     {1, 3},
     {"\b"},
     "get | move 1,3 | move 1,2 | move 80,2 | move 80,2 | update 80,2",
     ""},
    {"TtyTab", Emulation::Tty, {3, 3}, {"\t"}, "get | move 11,3 | update 11,3", ""},
    {"TtyFormFeed",
     Emulation::Tty,
     {3, 3},
     {"\f"},
     "get | erase-display 0 null | get | move 3,3 | update 3,3",
     ""},
    {"TtyCarriageReturn", Emulation::Tty, {30, 3}, {"\r"}, "get | move 1,3 | update 1,3", ""},
    {"TtyCarriageReturnFeedsLine",
     Emulation::Tty,
     {30, 3},
     {"\r"},
     "get | move 1,4 | update 1,4",
     "",
     "",
     1},
    {"TtyLineFeed", Emulation::Tty, {30, 3}, {"\n"}, "get | move 30,4 | update 30,4", ""},
    {"TtyBell", Emulation::Tty, {30, 3}, {"\a"}, "get | move 30,3 | update 30,3", ""},
};

// Test names and failure messages show the case by its name.
void PrintTo(const ParserCase& c, std::ostream* os) {
    *os << c.name;
}

class Parser : public ::testing::TestWithParam<ParserCase> {
protected:
    void SetUp() override {
        ASSERT_EQ(KestruneOpenLoopback(kTerminalPort, kRemotePort), KESTRUNE_OK);
        RecordingDisplay::current = &display_;
    }
    void TearDown() override {
        KestruneClose(kTerminalPort);
        KestruneClose(kRemotePort);
        RecordingDisplay::current = nullptr;
    }

    bool Read(Emulation e, char* c) {
        switch (e) {
            case Emulation::Ansi:
                return RS_ANSIRead(kTerminalPort, c) != 0;
            case Emulation::Vt52:
                return RS_VT52Read(kTerminalPort, c) != 0;
            case Emulation::Tty:
                return RS_TTYRead(kTerminalPort, c) != 0;
        }
        return false;
    }

    RecordingDisplay display_;
    RS_ANSIRECORD ansi_{};
    RS_VT52RECORD vt52_{};
    RS_TTYRECORD tty_{};
};

TEST_P(Parser, BytesToActions) {
    const ParserCase& c = GetParam();
    switch (c.emulation) {
        case Emulation::Ansi:
            ansi_.callback = &RecordingDisplay::Callback;
            ASSERT_TRUE(RS_ANSIInit(kTerminalPort, &ansi_));
            break;
        case Emulation::Vt52:
            vt52_.callback = &RecordingDisplay::Callback;
            ASSERT_TRUE(RS_VT52Init(kTerminalPort, &vt52_));
            break;
        case Emulation::Tty:
            tty_.callback = &RecordingDisplay::Callback;
            tty_.tabWidth = 8;
            tty_.crAlsoFeedsLine = c.ttyFlags;
            ASSERT_TRUE(RS_TTYInit(kTerminalPort, &tty_));
            break;
    }
    display_.cursor = c.start;
    display_.events.clear();

    std::string returned;
    for (const std::string& chunk : c.chunks) {
        SendFromRemote(chunk);
        for (int guard = 0; guard < 10000; ++guard) {
            char ch = 0;
            if (Read(c.emulation, &ch))
                returned += ch;
            else if (KestruneInputPending(kTerminalPort) == 0)
                break;
        }
        EXPECT_EQ(KestruneInputPending(kTerminalPort), 0);
    }
    EXPECT_EQ(display_.Events(), c.events);
    EXPECT_EQ(returned, c.returned);
    EXPECT_EQ(TakeReply(), c.reply);
    // Whatever arrived, the parser is back at rest and its text is cleared.
    if (c.emulation == Emulation::Ansi) {
        EXPECT_EQ(ansi_.state, RS_STATE_NORMAL);
        EXPECT_EQ(strnlen(ansi_.parameters, RS_PARAMETER_TEXT), 0u);
    } else if (c.emulation == Emulation::Vt52) {
        EXPECT_EQ(vt52_.state, RS_STATE_NORMAL);
    }
}

INSTANTIATE_TEST_SUITE_P(Terminal, Parser, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ParserCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
