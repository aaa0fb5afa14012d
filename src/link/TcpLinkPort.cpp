#include "link/TcpLinkPort.h"

#include <QTcpSocket>

TcpLinkPort::TcpLinkPort() : socket_(std::make_unique<QTcpSocket>()) {
    QObject::connect(socket_.get(), &QTcpSocket::readyRead, [this] { NotifyReceive(); });
    QObject::connect(socket_.get(), &QTcpSocket::connected, [this] {
        if (unsent_.isEmpty()) return;
        socket_->write(unsent_);
        unsent_.clear();
        socket_->flush();
    });
    // A refused or lost connection takes what was waiting for it.
    QObject::connect(socket_.get(), &QTcpSocket::errorOccurred, [this] { unsent_.clear(); });
}

TcpLinkPort::~TcpLinkPort() {
    Close();
}

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
    unsent_.clear();
    socket_->abort();
}

bool TcpLinkPort::IsOpen() const {
    return open_;
}

bool TcpLinkPort::IsConnected() const {
    return socket_->state() == QAbstractSocket::ConnectedState;
}

qint64 TcpLinkPort::OutputPending() const {
    // Bytes queued while the connection is still being made count as pending.
    // A connection that failed sends nothing more.
    if (!open_ || socket_->state() == QAbstractSocket::UnconnectedState) return 0;
    return unsent_.size() + socket_->bytesToWrite();
}

void TcpLinkPort::DiscardOutput() {
    // Bytes already handed to the socket cannot be taken back; those still
    // waiting for the connection can.
    unsent_.clear();
}

qint64 TcpLinkPort::InputPending() const {
    return open_ && socket_->isOpen() ? socket_->bytesAvailable() : 0;
}

void TcpLinkPort::DiscardInput() {
    if (open_ && socket_->isOpen()) socket_->readAll();
}

QByteArray TcpLinkPort::ReadInput() {
    return open_ && socket_->isOpen() ? socket_->readAll() : QByteArray();
}

bool TcpLinkPort::Write(const QByteArray& bytes) {
    if (!open_ || socket_->state() == QAbstractSocket::UnconnectedState) return false;
    if (socket_->state() != QAbstractSocket::ConnectedState) {
        unsent_ += bytes;
        return true;
    }
    const bool written = socket_->write(bytes) == bytes.size();
    socket_->flush();
    return written;
}
