#include "link/PortControl.h"

PortControl::PortControl() {
    serial_.SetReceiveHandler([this] { NotifyReceive(); });
    tcp_.SetReceiveHandler([this] { NotifyReceive(); });
}

int PortControl::Open(const PortTarget& target) {
    active_->Close();
    active_ = target.number == PortTarget::kLanPort ? static_cast<Port*>(&tcp_) : &serial_;
    return active_->Open(target);
}

void PortControl::Close() {
    active_->Close();
}
bool PortControl::IsOpen() const {
    return active_->IsOpen();
}
qint64 PortControl::OutputPending() const {
    return active_->OutputPending();
}
void PortControl::DiscardOutput() {
    active_->DiscardOutput();
}
qint64 PortControl::InputPending() const {
    return active_->InputPending();
}
void PortControl::DiscardInput() {
    active_->DiscardInput();
}
QByteArray PortControl::ReadInput() {
    return active_->ReadInput();
}
bool PortControl::Write(const QByteArray& bytes) {
    return active_->Write(bytes);
}
bool PortControl::ConnectionLost() const {
    return active_->ConnectionLost();
}
bool PortControl::ConnectionMade() const {
    return active_->ConnectionMade();
}
QString PortControl::ErrorText() const {
    return active_->ErrorText();
}
