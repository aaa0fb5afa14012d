// One kterm session: a kestrune port on a device, the ANSI emulation registered on it with a
// Screen as its display, and optionally a KSMON trace of the port's traffic.
#pragma once

#include <terminal.h>

#include <QByteArray>
#include <QString>

#include "Screen.h"

class TerminalSession {
public:
    explicit TerminalSession(int port = 1) : port_(port) {}
    ~TerminalSession();

    // Opens the device and registers the emulation; false with a reason in Error().
    bool Open(const QString& device, const QString& settings);
    // Starts a KSMON trace of the port into the file, data bytes in the given notation.
    bool StartTrace(const QString& file, int mode);
    void Close();

    // Runs the emulation over everything received; true when the screen changed.
    bool Poll();
    void Send(const QByteArray& bytes);
    // The instrument's wake-up: "EXIT" CR, then 0xFF CR pairs.
    void Wake();
    // A cursor or editing key (the library's key codes 1..17).
    void SendKey(int key);

    Screen& GetScreen() { return screen_; }
    QString Error() const { return error_; }
    int TraceFill() const;
    int Port() const { return port_; }

private:
    int port_;
    bool open_ = false;
    bool tracing_ = false;
    QByteArray traceFile_;
    Screen screen_;
    RS_ANSIRECORD record_{};
    QString error_;
};
