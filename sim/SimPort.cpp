#include "sim/SimPort.h"

SimPort::SimPort(VirtualPump& pump) : pump_(pump) {
    pump_.AddDevice([this](qint64 nowMs, bool events) { Advance(nowMs, events); });
}

void SimPort::AttachInstrument(int com, Instrument* instrument) {
    instruments_[com] = instrument;
}

void SimPort::AttachLanInstrument(const QString& hostAndPort, Instrument* instrument) {
    lanInstruments_[hostAndPort] = instrument;
}

void SimPort::SetOpenError(int com, int error) {
    openErrors_[com] = error;
}

int SimPort::Open(const PortTarget& target) {
    Close();
    openLog_ << target.number;
    if (target.number == PortTarget::kLanPort) {
        connected_ =
            lanInstruments_.value(QStringLiteral("%1:%2").arg(target.host).arg(target.tcpPort));
    } else {
        if (openErrors_.contains(target.number)) return openErrors_.value(target.number);
        connected_ = instruments_.value(target.number);
    }
    open_ = true;
    dropped_ = false;
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
    if (!open_) return false;
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
    if (events && !input_.isEmpty()) NotifyReceive();
}
