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
constexpr int kNone = 0;
constexpr int kWake = 1;
constexpr int kEchoOff = 2;
constexpr int kDir = 3;
constexpr int kPlay = 4;
constexpr int kExit = 5;
constexpr int kDel = 6;
constexpr int kSendFirst = 7;
constexpr int kSendPoll = 8;
constexpr int kUnit = 9;
constexpr int kUnitChange = 10;
constexpr int kVers = 11;
constexpr int kSnum = 12;
constexpr int kCal = 13;
constexpr int kTime = 14;
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
    qint16 icommand = Command::kNone;
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
