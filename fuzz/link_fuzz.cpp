// Fuzz target: the link's receive handler (Link::OnReceive) and the command engine around it, fed
// whatever the line brings. A port stub hands the input to the link in chunks, one chunk each
// time the link lets events run; the pump's clock is virtual, so every wait costs nothing. The
// stream may hold the instrument's announcement, "line closed", CTRL-Z and any other bytes, and
// can be repeated to go past the 65004-line cut of a download.
//
// Header: [0] the first command, [1] the second, [2] chunk size, [3] flags (bit 0: close after
// each command; bit 1: the clock starts just before midnight; bit 2: the line is held between
// events; bits 4-7: how many times the body is repeated, as a power of four, up to 16 KiB in all
// and up to 256 KiB, past the line cut, only when all four are set), [4] the event after which
// the user presses Cancel (0: never). Most inputs thus stay short: a stream of 256 KiB costs as
// much as many short ones, and only the cut needs it.
//
// Promises checked: every command ends, within a virtual time the protocol's timings bound
// (no hang), and a reply cut at the line limit holds no more than the limit's lines.

#include <QDateTime>
#include <algorithm>
#include <cmath>

#include "QtFuzz.h"
#include "link/Link.h"

using fuzz::Check;

namespace {

class ChunkPort : public Port {
public:
    int Open(const PortTarget&) override {
        open_ = true;
        return PortError::kNone;
    }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    qint64 OutputPending() const override { return 0; }
    void DiscardOutput() override {}
    qint64 InputPending() const override { return input_.size(); }
    void DiscardInput() override { input_.clear(); }
    QByteArray ReadInput() override { return std::exchange(input_, QByteArray()); }
    bool Write(const QByteArray& bytes) override {
        written_ += bytes.size();
        return open_;
    }
    bool Hold() const override { return hold_; }

    void Deliver(const QByteArray& chunk) {
        input_ += chunk;
        NotifyReceive();
    }
    bool hold_ = false;

private:
    bool open_ = false;
    QByteArray input_;
    qint64 written_ = 0;
};

class ChunkPump : public Pump {
public:
    ChunkPump(ChunkPort& port, double start) : port_(port), clockMs_(start * 1000.0) {}

    void ProcessEvents(int milliseconds) override {
        ++events_;
        if (cancelAt_ && events_ == cancelAt_ && link_) link_->Cancel();
        if (at_ < stream_.size()) {
            const qsizetype n = std::min<qsizetype>(chunk_, stream_.size() - at_);
            port_.hold_ = false;
            port_.Deliver(stream_.mid(at_, n));
            port_.hold_ = holdBetween_;
            at_ += n;
        }
        // A turn of the event loop takes a moment; once the line has nothing more to bring, a
        // tenth of a second, so that waiting out a timeout (60 s at most) costs few turns. The
        // link measures its waits on the clock, so they only end in fewer steps.
        Advance(std::max(milliseconds, at_ < stream_.size() ? 1 : 100));
    }
    void Sleep(int milliseconds) override { Advance(std::max(milliseconds, 0)); }
    double Clock() const override { return std::fmod(clockMs_, 86400000.0) / 1000.0; }
    QDateTime Now() const override {
        return QDateTime(QDate(2026, 3, 29), QTime(0, 0)).addMSecs(static_cast<qint64>(clockMs_));
    }

    void Advance(int milliseconds) {
        clockMs_ += milliseconds;
        spentMs_ += milliseconds;
        // No exchange of the protocol waits this long: a command still running is hung.
        Check(spentMs_ < kBoundMs);
    }
    void StartCommand() { spentMs_ = 0; }

    static constexpr double kBoundMs = 30.0 * 60.0 * 1000.0;
    QByteArray stream_;
    qsizetype at_ = 0;
    qsizetype chunk_ = 1;
    bool holdBetween_ = false;
    quint64 events_ = 0;
    quint64 cancelAt_ = 0;
    Link* link_ = nullptr;

private:
    ChunkPort& port_;
    double clockMs_;
    double spentMs_ = 0;
};

class QuietPresenter : public MessagePresenter {
public:
    bool Present(const MessageBoxSpec&) override { return true; }
};

struct CommandCase {
    const char* text;
    Command::Code code;
};

constexpr CommandCase kCommands[] = {
    {"DIR\r", Command::kDir},
    {"PLAY 0\r", Command::kPlay},
    {"DEL 0\r", Command::kDel},
    {"SEND 3\r", Command::kSendFirst},
    {"SEND\r", Command::kSendPoll},
    {"UNIT\r", Command::kUnit},
    {"UNIT 1 0 0 \r", Command::kUnitChange},
    {"VERS\r", Command::kVers},
    {"SNUM\r", Command::kSnum},
    {"CAL\r", Command::kCal},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in{data, size};
    const CommandCase first = kCommands[in.Byte() % std::size(kCommands)];
    const CommandCase second = kCommands[in.Byte() % std::size(kCommands)];
    const qsizetype chunk = 1 + in.Byte() % 128;
    const uint8_t flags = in.Byte();
    const quint64 cancelAt = in.Byte();
    const QByteArray body = in.Rest();
    // Up to 4^15 copies, but never more than 16 KiB in all, or 256 KiB (enough for the line cut)
    // at the highest power.
    QByteArray stream = body;
    if (!body.isEmpty()) {
        const qsizetype most = (flags >> 4) == 15 ? 256 * 1024 : 16 * 1024;
        const qsizetype copies =
            std::min<qsizetype>(qsizetype(1) << (2 * (flags >> 4)), most / body.size());
        stream = body.repeated(std::max<qsizetype>(copies, 1));
    }

    ChunkPort port;
    ChunkPump pump(port, (flags & 2) ? 86399.5 : 3600.0);
    pump.stream_ = stream;
    pump.chunk_ = (flags >> 4) ? std::max<qsizetype>(chunk, stream.size() / 512) : chunk;
    pump.holdBetween_ = flags & 4;
    pump.cancelAt_ = cancelAt;
    QuietPresenter presenter;
    Link link(port, pump, presenter);
    pump.link_ = &link;
    link.SetComPortMap(ComPortMap({{1, QStringLiteral("/dev/fuzz")}}, {}));
    link.SelectSerial(1);

    for (const CommandCase& command : {first, second}) {
        pump.StartCommand();
        QString reply;
        const bool ok = link.SendCommandAndReceive(QString::fromLatin1(command.text), command.code,
                                                   reply, flags & 1);
        if (link.TakeCut()) Check(reply.count(QStringLiteral("\r\n")) <= Link::kLineLimit);
        if (ok) Check(link.State().icommand == Command::kNone);
        link.EndSequence();
    }
    pump.StartCommand();
    link.CloseLink();
    return 0;
}
