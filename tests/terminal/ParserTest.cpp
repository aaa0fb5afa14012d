// The three parsers as data: bytes in (in chunks, each chunk read out before the next arrives),
// display actions, returned characters and bytes sent back on the line out.

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
    std::string events;               // display actions, " | " between them
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
    {"AnsiUpFive", Emulation::Ansi, {10, 10}, {kEsc + "[5A"}, "1 | 3 10,5 | 2 10,5", ""},
    {"AnsiUpDefaultOne", Emulation::Ansi, {10, 10}, {kEsc + "[A"}, "1 | 3 10,9 | 2 10,9", ""},
    {"AnsiUpZeroStays", Emulation::Ansi, {10, 10}, {kEsc + "[0A"}, "1 | 3 10,10 | 2 10,10", ""},
    {"AnsiDownTwo", Emulation::Ansi, {10, 10}, {kEsc + "[2B"}, "1 | 3 10,12 | 2 10,12", ""},
    {"AnsiDownClampedByDisplay",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[99B"},
     "1 | 3 10,24 | 2 10,24",
     ""},
    {"AnsiRightThree", Emulation::Ansi, {10, 10}, {kEsc + "[3C"}, "1 | 3 13,10 | 2 13,10", ""},
    {"AnsiLeftDefault", Emulation::Ansi, {10, 10}, {kEsc + "[D"}, "1 | 3 9,10 | 2 9,10", ""},
    {"AnsiNextLineIgnoresCount",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[5E"},
     "1 | 3 10,11 | 2 10,11",
     ""},
    {"AnsiColumn", Emulation::Ansi, {10, 10}, {kEsc + "[42G"}, "1 | 3 42,10 | 2 42,10", ""},
    {"AnsiPositionRowColumn",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[5;17H"},
     "1 | 3 17,5 | 2 17,5",
     ""},
    {"AnsiPositionWithF", Emulation::Ansi, {10, 10}, {kEsc + "[5;17f"}, "1 | 3 17,5 | 2 17,5", ""},
    {"AnsiPositionThreeDigitsUsesTwo",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[123H"},
     "1 | 3 1,12 | 2 1,12",
     ""},
    {"AnsiPositionHome", Emulation::Ansi, {10, 10}, {kEsc + "[H"}, "1 | 3 1,1 | 2 1,1", ""},
    {"AnsiPositionEmptyRow", Emulation::Ansi, {10, 10}, {kEsc + "[;5H"}, "1 | 3 5,1 | 2 5,1", ""},
    {"AnsiPositionEmptyColumn",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[7;H"},
     "1 | 3 1,7 | 2 1,7",
     ""},
    {"AnsiPositionThirdParameterIgnored",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[2;3;4H"},
     "1 | 3 3,2 | 2 3,2",
     ""},
    {"AnsiPositionClampedByDisplay",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[99;99H"},
     "1 | 3 80,24 | 2 80,24",
     ""},
    {"AnsiSplitAcrossReads",
     Emulation::Ansi,
     {10, 10},
     {kEsc, "[", "1", "2;", "3", "0H"},
     "1 | 3 30,12 | 2 30,12",
     ""},
    {"AnsiSplitUpFive",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[", "5", "A"},
     "1 | 3 10,5 | 2 10,5",
     ""},

    // ---- ANSI erasing, editing, rendition
    {"AnsiEraseDisplayAll",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[2J"},
     "1 | 4 2 4,6 | 1 | 3 4,6 | 2 4,6",
     ""},
    {"AnsiEraseDisplayDefaultZero",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[J"},
     "1 | 4 0 4,6 | 1 | 3 4,6 | 2 4,6",
     ""},
    {"AnsiEraseLineDefaultZero",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[K"},
     "1 | 5 0 4,6 | 3 4,6 | 2 4,6",
     ""},
    {"AnsiEraseLineOne",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[1K"},
     "1 | 5 1 4,6 | 3 4,6 | 2 4,6",
     ""},
    {"AnsiRenditionFirstParameter",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[1;31m"},
     "1 | 6 1 null | 3 4,6 | 2 4,6",
     ""},
    {"AnsiRenditionDefaultZero",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[m"},
     "1 | 6 0 null | 3 4,6 | 2 4,6",
     ""},
    {"AnsiDeleteCharacters",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[3P"},
     "1 | 7 3 4,6 | 3 4,6 | 2 4,6",
     ""},
    {"AnsiDeleteLinesDefault",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[M"},
     "1 | 8 1 4,6 | 3 4,6 | 2 4,6",
     ""},
    {"AnsiScrollDown", Emulation::Ansi, {4, 6}, {kEsc + "[2T"}, "1 | 9 2 4,6 | 3 4,6 | 2 4,6", ""},
    {"AnsiScrollUp", Emulation::Ansi, {4, 6}, {kEsc + "[S"}, "1 | 10 1 4,6 | 3 4,6 | 2 4,6", ""},
    {"AnsiInsertLines",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[4L"},
     "1 | 11 4 4,6 | 3 4,6 | 2 4,6",
     ""},
    {"AnsiInsertCharacters",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[@"},
     "1 | 12 1 4,6 | 3 4,6 | 2 4,6",
     ""},
    {"AnsiInsertZeroStaysZero",
     Emulation::Ansi,
     {4, 6},
     {kEsc + "[0@"},
     "1 | 12 0 4,6 | 3 4,6 | 2 4,6",
     ""},

    // ---- ANSI unknown and over-long sequences
    {"AnsiUnknownFinal",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[2q"},
     "1 | 13 2q | 3 10,10 | 2 10,10",
     ""},
    {"AnsiPrivateModeIsUnknown",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[?25h"},
     "1 | 13 ? | 3 10,10 | 2 10,10",
     "25h"},
    {"AnsiOverlongDropped",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[" + Overlong19() + "H"},
     "13 " + Overlong19() + "H",
     ""},
    {"AnsiOverlongRestIsText",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[" + Overlong19() + "05H"},
     "13 " + Overlong19() + "0",
     "5H"},
    {"AnsiOverlongSplit",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[1234567", "8901234567", "89", "9Z"},
     "13 " + Overlong19() + "9",
     "Z"},
    {"AnsiEighteenCharactersAccepted",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[12;34" + std::string(13, ';') + "H"},
     "1 | 3 34,12 | 2 34,12",
     ""},
    {"AnsiParameterCutToTwoCharacters",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "[0009;123H"},
     "1 | 3 12,1 | 2 12,1",
     ""},

    // ---- ANSI after ESC
    {"AnsiEscQIsOrdinary", Emulation::Ansi, {10, 10}, {kEsc + "Q"}, "", "Q"},
    {"AnsiEscEscReturnsEscape", Emulation::Ansi, {10, 10}, {kEsc + kEsc + "x"}, "", kEsc + "x"},
    {"AnsiEscNextLine", Emulation::Ansi, {10, 10}, {kEsc + "E"}, "1 | 3 10,11 | 2 10,11", ""},
    {"AnsiSaveMoveRestore",
     Emulation::Ansi,
     {10, 10},
     {kEsc + "7", kEsc + "[1;1H", kEsc + "8"},
     "1 | 1 | 3 1,1 | 2 1,1 | 3 10,10 | 2 10,10",
     ""},
    {"AnsiCsiSaveRestore",
     Emulation::Ansi,
     {7, 9},
     {kEsc + "[s", kEsc + "[3;3H", kEsc + "[u"},
     "1 | 1 | 3 7,9 | 2 7,9 | 1 | 3 3,3 | 2 3,3 | 1 | 3 7,9 | 2 7,9",
     ""},

    // ---- ANSI control characters
    {"AnsiLineFeedConsumed", Emulation::Ansi, {10, 10}, {"A\nB"}, "1 | 3 10,11 | 2 10,11", "AB"},
    {"AnsiVerticalTabFeedsLine", Emulation::Ansi, {10, 10}, {"\x0b"}, "1 | 3 10,11 | 2 10,11", ""},
    {"AnsiCarriageReturnReturned", Emulation::Ansi, {10, 10}, {"\r"}, "", "\r"},
    {"AnsiTextThenSequenceThenText",
     Emulation::Ansi,
     {10, 10},
     {"ab" + kEsc + "[Hcd"},
     "1 | 3 1,1 | 2 1,1",
     "abcd"},

    // ---- ANSI status queries answered on the line
    {"AnsiCursorReportQuery",
     Emulation::Ansi,
     {7, 3},
     {kEsc + "[6n"},
     "1 | 3 7,3 | 2 7,3",
     "",
     kEsc + "[3;7R"},
    {"AnsiCursorReportQuerySplit",
     Emulation::Ansi,
     {12, 24},
     {kEsc + "[", "6", "n"},
     "1 | 3 12,24 | 2 12,24",
     "",
     kEsc + "[24;12R"},
    {"AnsiStatusQuery",
     Emulation::Ansi,
     {7, 3},
     {kEsc + "[5n"},
     "1 | 3 7,3 | 2 7,3",
     "",
     kEsc + "[0n"},
    {"AnsiOtherQueryNoReply",
     Emulation::Ansi,
     {7, 3},
     {kEsc + "[n", kEsc + "[7n"},
     "1 | 3 7,3 | 2 7,3 | 1 | 3 7,3 | 2 7,3",
     "",
     ""},

    // ---- VT52 (every byte first asks for the cursor)
    {"Vt52Ordinary", Emulation::Vt52, {10, 10}, {"x"}, "1", "x"},
    {"Vt52LineFeedIsOrdinary", Emulation::Vt52, {10, 10}, {"\n"}, "1", "\n"},
    {"Vt52Up", Emulation::Vt52, {10, 10}, {kEsc + "A"}, "1 | 1 | 3 10,9 | 2 10,9", ""},
    {"Vt52ReverseLineFeed", Emulation::Vt52, {10, 10}, {kEsc + "I"}, "1 | 1 | 3 10,9 | 2 10,9", ""},
    {"Vt52Down", Emulation::Vt52, {10, 10}, {kEsc + "B"}, "1 | 1 | 3 10,11 | 2 10,11", ""},
    {"Vt52Right", Emulation::Vt52, {10, 10}, {kEsc + "C"}, "1 | 1 | 3 11,10 | 2 11,10", ""},
    {"Vt52Left", Emulation::Vt52, {10, 10}, {kEsc + "D"}, "1 | 1 | 3 9,10 | 2 9,10", ""},
    {"Vt52Home", Emulation::Vt52, {10, 10}, {kEsc + "H"}, "1 | 1 | 3 1,1 | 2 1,1", ""},
    {"Vt52EraseScreen",
     Emulation::Vt52,
     {10, 10},
     {kEsc + "J"},
     "1 | 1 | 4 0 null | 1 | 3 10,10 | 2 10,10",
     ""},
    {"Vt52EraseLine",
     Emulation::Vt52,
     {10, 10},
     {kEsc + "K"},
     "1 | 1 | 5 0 null | 1 | 3 10,10 | 2 10,10",
     ""},
    {"Vt52UnknownEscape",
     Emulation::Vt52,
     {10, 10},
     {kEsc + "Z"},
     "1 | 1 | 6 0 Z | 1 | 3 10,10 | 2 10,10",
     ""},
    {"Vt52DirectAddress",
     Emulation::Vt52,
     {10, 10},
     {kEsc + "Y" + char(32 + 4) + char(32 + 9)},
     "1 | 1 | 1 | 1 | 3 10,5 | 2 10,5",
     ""},
    {"Vt52DirectAddressSplit",
     Emulation::Vt52,
     {10, 10},
     {kEsc, "Y", std::string(1, char(32 + 0)), std::string(1, char(32 + 79)) + "z"},
     "1 | 1 | 1 | 1 | 3 80,1 | 2 80,1 | 1",
     "z"},
    {"Vt52SplitEscape", Emulation::Vt52, {10, 10}, {kEsc, "B"}, "1 | 1 | 3 10,11 | 2 10,11", ""},

    // ---- TTY (one byte per read)
    {"TtyOrdinary", Emulation::Tty, {10, 10}, {"q"}, "1", "q"},
    {"TtyVerticalTabIsOrdinary", Emulation::Tty, {10, 10}, {"\x0b"}, "1", "\x0b"},
    {"TtyBackspace", Emulation::Tty, {5, 3}, {"\b"}, "1 | 3 4,3 | 3 4,3 | 2 4,3", ""},
    {"TtyBackspaceAtHomeStays",
     Emulation::Tty,
     {1, 1},
     {"\b"},
     "1 | 3 1,1 | 3 1,1 | 3 1,1 | 2 1,1",
     ""},
    {"TtyBackspaceWrapsToPreviousLine",
     Emulation::Tty,
     {1, 3},
     {"\b"},
     "1 | 3 1,3 | 3 1,2 | 3 80,2 | 3 80,2 | 2 80,2",
     ""},
    {"TtyTab", Emulation::Tty, {3, 3}, {"\t"}, "1 | 3 11,3 | 2 11,3", ""},
    {"TtyFormFeed", Emulation::Tty, {3, 3}, {"\f"}, "1 | 4 0 null | 1 | 3 3,3 | 2 3,3", ""},
    {"TtyCarriageReturn", Emulation::Tty, {30, 3}, {"\r"}, "1 | 3 1,3 | 2 1,3", ""},
    {"TtyCarriageReturnFeedsLine", Emulation::Tty, {30, 3}, {"\r"}, "1 | 3 1,4 | 2 1,4", "", "", 1},
    {"TtyLineFeed", Emulation::Tty, {30, 3}, {"\n"}, "1 | 3 30,4 | 2 30,4", ""},
    {"TtyBell", Emulation::Tty, {30, 3}, {"\a"}, "1 | 3 30,3 | 2 30,3", ""},
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
