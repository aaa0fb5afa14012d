#include "TerminalSession.h"

#include <kestrune.h>
#include <ksmon.h>

namespace {

constexpr int kWakePairs = 64;
constexpr int kMaxBytesPerPoll = 65536;  // keeps the window responsive under a flood

QString OpenError(int code) {
    switch (code) {
        case KESTRUNE_ERR_NO_PORT:
            return QStringLiteral("no such device");
        case KESTRUNE_ERR_IN_USE:
            return QStringLiteral("port in use");
        case KESTRUNE_ERR_SETTINGS:
            return QStringLiteral("settings not understood");
        default:
            return QStringLiteral("device unavailable (%1)").arg(code);
    }
}

}  // namespace

TerminalSession::~TerminalSession() {
    Close();
}

bool TerminalSession::Open(const QString& device, const QString& settings) {
    int code =
        KestruneOpen(port_, device.toLocal8Bit().constData(), settings.toLatin1().constData());
    if (code != KESTRUNE_OK) {
        error_ = device + ": " + OpenError(code);
        return false;
    }
    open_ = true;
    screen_.Attach(port_);
    record_.callback = &Screen::Callback;
    if (!RS_ANSIInit(port_, &record_)) {
        error_ = QStringLiteral("the ANSI emulation could not be registered");
        Close();
        return false;
    }
    return true;
}

bool TerminalSession::StartTrace(const QString& file, int mode) {
    traceFile_ = file.toLocal8Bit();
    int32_t m = mode;
    tracing_ = RS_MonitorData(port_, RS_MONITOR_START, traceFile_.data(), &m) != 0;
    if (!tracing_) error_ = file + ": the trace could not be started";
    return tracing_;
}

void TerminalSession::Close() {
    if (tracing_) RS_MonitorData(port_, RS_MONITOR_STOP, nullptr, nullptr);
    tracing_ = false;
    if (open_) KestruneClose(port_);
    open_ = false;
    screen_.Detach();
}

bool TerminalSession::Poll() {
    if (!open_) return false;
    bool changed = false;
    char c;
    int budget = kMaxBytesPerPoll;
    // A read that handled a line feed returns false with bytes still waiting: go on.
    while (budget-- > 0 && KestruneInputPending(port_) > 0) {
        if (RS_ANSIRead(port_, &c)) screen_.Put(static_cast<unsigned char>(c));
        changed = true;
    }
    return changed;
}

void TerminalSession::Send(const QByteArray& bytes) {
    if (open_ && !bytes.isEmpty()) KestruneWrite(port_, bytes.constData(), int(bytes.size()));
}

void TerminalSession::Wake() {
    QByteArray burst("EXIT\r");
    for (int i = 0; i < kWakePairs; ++i) burst.append("\xFF\r", 2);
    Send(burst);
}

void TerminalSession::SendKey(int key) {
    char text[RS_TRANSLATE_TEXT];
    RS_POSITION cursor = screen_.Cursor();
    if (RS_TranslateToANSI(key, &cursor, text)) Send(QByteArray(text));
}

int TerminalSession::TraceFill() const {
    int32_t fill = 0;
    return tracing_ && RS_MonitorData(port_, RS_MONITOR_FILL, nullptr, &fill) ? fill : -1;
}
