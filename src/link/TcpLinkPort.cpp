#include "link/TcpLinkPort.h"

#include <QTcpSocket>

TcpLinkPort::TcpLinkPort() : socket_(std::make_unique<QTcpSocket>()) {
    QObject::connect(socket_.get(), &QTcpSocket::readyRead, [this] { NotifyReceive(); });
}

TcpLinkPort::~TcpLinkPort() { Close(); }

int TcpLinkPort::Open(const PortTarget& target) {
    Close();
    if (target.host.trimmed().isEmpty()) return PortError::kNoSuchPort;
    // The connection is made while the wake-up burst waits to be sent; a host
    // that does not answer looks like a silent instrument.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket_->connectToHost(target.host.trimmed(), target.tcpPort);
    open_ = true;
    return PortError::kNone;
}

void TcpLinkPort::Close() {
    if (!open_) return;
    open_ = false;
    socket_->abort();
}

bool TcpLinkPort::IsOpen() const { return open_; }

bool TcpLinkPort::IsConnected() const {
    return socket_->state() == QAbstractSocket::ConnectedState;
}

qint64 TcpLinkPort::OutputPending() const {
    // Bytes queued while the connection is still being made count as pending.
    return open_ ? socket_->bytesToWrite() : 0;
}

void TcpLinkPort::DiscardOutput() {
    // A socket cannot take back queued bytes; an unconnected one has none sent
    // yet, and a connected one writes them out at once.
}

qint64 TcpLinkPort::InputPending() const { return open_ ? socket_->bytesAvailable() : 0; }

void TcpLinkPort::DiscardInput() {
    if (open_) socket_->readAll();
}

QByteArray TcpLinkPort::ReadInput() { return open_ ? socket_->readAll() : QByteArray(); }

bool TcpLinkPort::Write(const QByteArray& bytes) {
    if (!open_ || socket_->state() == QAbstractSocket::UnconnectedState) return false;
    return socket_->write(bytes) == bytes.size();
}
