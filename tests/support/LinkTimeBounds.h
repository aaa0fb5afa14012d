#pragma once
// How long a command may take at most, from the link's own times: the bound
// that tells a slow, failing instrument from a hang in the fault tests.
//
// A reply has T = 2.01 s (short commands: ECHO OFF, TIME, DIR, VERS, SNUM, CAL,
// UNIT) or 60.01 s (PLAY, DEL, SEND n, SEND) from the moment the command is
// written; the write itself is followed by a 0.2 s pause, and a reply still
// arriving without its CTRL-Z is waited for until 100 cycles of 0.01 s pass
// quietly.

namespace LinkTimeBounds {

constexpr double kShortReply = 2.01;
constexpr double kLongReply = 60.01;
constexpr double kAfterWrite = 0.2;
constexpr double kQuietTail = 100 * 0.01;
constexpr double kShortCommand = kAfterWrite + kShortReply + kQuietTail;  // 3.21 s
constexpr double kLongCommand = kAfterWrite + kLongReply + kQuietTail;    // 61.21 s
// EXIT: a 2.1 s pause before it, the write pause, and its 2.01 s waited in full.
constexpr double kExit = 2.1 + kAfterWrite + kShortReply;  // 4.31 s
// One attempt at waking the instrument: the 2309-byte burst may take up to
// 2 T to leave, the announcement gets T in full, then ECHO OFF (a short
// command) and a 0.2 s pause; an attempt that fails says EXIT.
constexpr double kWakeAttempt =
    2 * kShortReply + kShortReply + kShortCommand + kAfterWrite + kExit;  // 13.75 s
// Opening tries three times before it gives up.
constexpr double kOpen = 3 * kWakeAttempt;  // 41.25 s

// A sequence of commands on one opening: a failure ends the sequence (the
// link is closed and nothing more is sent), so one opening, every command at
// its worst, and the EXIT that closes the link.
constexpr double Sequence(int shortCommands, int longCommands) {
    return kOpen + shortCommands * kShortCommand + longCommands * kLongCommand + kExit;
}

}  // namespace LinkTimeBounds
