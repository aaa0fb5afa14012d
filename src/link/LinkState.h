#pragma once
// The state of the instrument link, one set for the whole program, owned by
// the Link. Names are the ones the rest of the program knows them by.

#include <QString>
#include <array>

// One host of the LAN host list; entry 0 is the most recent.
struct LanHost {
    QString host;
    qint32 port = 23;
    qint16 used = 0;  // 1 when host is not empty
};

// Command codes: they choose the reply time and the failure message.
namespace Command {
enum Code : qint16 {
    kNone = 0,
    kWake = 1,  // the wake-up burst
    kEchoOff = 2,
    kDir = 3,
    kPlay = 4,
    kExit = 5,
    kDel = 6,
    kSendFirst = 7,  // "SEND n": real time starts
    kSendPoll = 8,   // "SEND": one real-time reading
    kUnit = 9,
    kUnitChange = 10,
    kVers = 11,
    kSnum = 12,
    kCal = 13,
    kTime = 14,
};

// The two steps of opening the link; their failures are the opening's.
constexpr bool IsOpeningStep(Code code) {
    return code == kWake || code == kEchoOff;
}
// A command of its own (not idle, not part of opening the link): its failure
// is shown, and a 0.2 s pause follows its writing.
constexpr bool IsCommand(Code code) {
    return code != kNone && !IsOpeningStep(code);
}
// The instrument ends its reply with CTRL-Z; only the wake-up burst and
// "EXIT" have none.
constexpr bool ExpectsEndMark(Code code) {
    return code != kNone && code != kWake && code != kExit;
}
}  // namespace Command

namespace Connection {
constexpr int kSerial = 0;
constexpr int kLan = 22;
}  // namespace Connection

struct LinkState {
    qint16 OpenPort = 0;        // port open with an answering instrument; 0 = closed
    qint16 OpeningPort = 0;     // port being opened (named in messages)
    qint16 ConfiguredPort = 1;  // port every command opens; 17 = LAN
    bool AutoDetect = false;    // try every COM port when the configured one fails
    qint16 ConnectionType = Connection::kSerial;
    qint16 LanSelection = 0;  // 1-based LAN host entry in use; 0 = serial
    Command::Code icommand = Command::kNone;
    bool bline = false;        // the instrument has announced an open line
    bool ReplyReady = false;   // the expected reply or announcement is complete
    bool bcancel = false;      // the user pressed Cancel
    bool ExitPending = false;  // the next transmission waits 2.1 s first
    QString ReceiveBuffer;
    QString MessageKey;  // key of the message for the last failure; empty = none
    qint32 LineTotal = 1;
    qint32 LineCount = 0;
    bool strMsgReady = false;  // a download was cut at the line limit
    bool LinkBusy = false;
    bool CommandFailed = false;
    std::array<LanHost, 9> LanHosts;  // entries 0..7 are kept in the settings
};

// The connection choices. The rules live here once: a LAN choice means port
// 17 and no detection; a serial choice leaves port 17 for a COM port.
void SelectSerialPort(LinkState& state, int com);
void SelectAutoDetect(LinkState& state);
void SelectLanHost(LinkState& state, int entry);
