// A loopback pair through kestrune and a recording 80x24 display for the emulation tests: the
// emulation reads port kTerminalPort, the test plays the remote end on kRemotePort.
#pragma once

#include <kestrune.h>
#include <terminal.h>

#include <string>
#include <vector>

constexpr int kTerminalPort = 1;
constexpr int kRemotePort = 2;

// The screen behind the display callback: keeps the cursor, clamps moves to the screen and logs
// every action as a short text by its name ("move 10,5" = move to column 10, row 5).
struct RecordingDisplay {
    int columns = 80;
    int rows = 24;
    RS_POSITION cursor{1, 1};
    std::vector<std::string> events;

    std::string Events() const;  // the log joined with " | "
    static void RS_CALL Callback(int32_t port, int32_t action, int32_t value, void* pointer);
    static RecordingDisplay* current;
};

// Sends bytes from the remote end.
void SendFromRemote(const std::string& bytes);
// Everything the terminal sent back on the line.
std::string TakeReply();
