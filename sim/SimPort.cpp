#include "sim/SimPort.h"

SimPort::SimPort(VirtualPump& pump) : pump_(pump) {
    device_ = pump_.AddDevice([this](qint64 nowMs, bool events) { Advance(nowMs, events); });
}

SimPort::~SimPort() {
    pump_.RemoveDevice(device_);
}

void SimPort::AttachInstrument(int com, Instrument* instrument) {
    instruments_[com] = instrument;
}

void SimPort::AttachLanInstrument(const QString& hostAndPort, Instrument* instrument) {
    lanInstruments_[hostAndPort] = instrument;
}

void SimPort::SetOpenError(int com, int error, const QString& text) {
    openErrors_[com] = error;
    openErrorTexts_[com] = text;
}

int SimPort::Open(const PortTarget& target) {
    Close();
    openLog_ << target.number;
    errorText_.clear();
    if (target.number == PortTarget::kLanPort) {
        connected_ =
            lanInstruments_.value(QStringLiteral("%1:%2").arg(target.host).arg(target.tcpPort));
    } else {
        if (openErrors_.contains(target.number)) {
            errorText_ = openErrorTexts_.value(target.number);
            return openErrors_.value(target.number);
        }
        connected_ = instruments_.value(target.number);
    }
    open_ = true;
    dropped_ = false;
    lost_ = false;
    lostUnseen_ = false;
    hangUp_ = false;
    // Serial ports are connected when open; a LAN host only when something
    // listens there.
    made_ = target.number != PortTarget::kLanPort || connected_ != nullptr;
    lastMs_ = pump_.Milliseconds();
    credit_ = 0;
    return PortError::kNone;
}

void SimPort::Close() {
    if (open_ && connected_) connected_->Disconnected();
    open_ = false;
    connected_ = nullptr;
    toInstrument_.clear();
    input_.clear();
}

QByteArray SimPort::ReadInput() {
    QByteArray bytes = input_;
    input_.clear();
    return bytes;
}

bool SimPort::Write(const QByteArray& bytes) {
    if (!open_ || lost_) return false;
    if (onWrite) onWrite(bytes);
    written_ += bytes;
    toInstrument_ += bytes;
    if (baud_ == 0) {
        if (connected_ && !dropped_) connected_->Receive(toInstrument_, pump_.Milliseconds());
        toInstrument_.clear();
    }
    return true;
}

QByteArray SimPort::TakeWritten() {
    QByteArray bytes = written_;
    written_.clear();
    return bytes;
}

void SimPort::Advance(qint64 nowMs, bool events) {
    if (!open_) return;
    qint64 budget = chunk_;
    if (baud_ > 0) {
        credit_ += (nowMs - lastMs_) * baud_ / 10000.0;  // 10 bits a byte
        const qint64 bytes = std::min<qint64>(static_cast<qint64>(credit_), toInstrument_.size());
        if (bytes > 0) {
            if (connected_ && !dropped_) connected_->Receive(toInstrument_.left(bytes), nowMs);
            toInstrument_.remove(0, bytes);
            credit_ -= bytes;
        }
        budget = std::min<qint64>(budget,
                                  std::max<qint64>(1, qint64((nowMs - lastMs_) * baud_ / 10000)));
    }
    lastMs_ = nowMs;
    if (connected_ && !dropped_) {
        connected_->Tick(nowMs);
        input_ += connected_->TakeOutput(nowMs, budget);
        if (connected_->ShouldDrop()) dropped_ = true;
    }
    if (!lost_ && (hangUp_ || dropped_ || !made_)) {
        lost_ = true;
        lostUnseen_ = true;
        errorText_ = made_ ? QStringLiteral("the connection was closed")
                           : QStringLiteral("connection refused");
        toInstrument_.clear();
        if (connected_) connected_->Disconnected();
    }
    // A loss during a pause is told at the next event, as a real port would.
    if (events && (!input_.isEmpty() || lostUnseen_)) {
        lostUnseen_ = false;
        NotifyReceive();
    }
}
