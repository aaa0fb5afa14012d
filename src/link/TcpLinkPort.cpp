#include "link/TcpLinkPort.h"

#include <QTcpSocket>

TcpLinkPort::TcpLinkPort() : socket_(std::make_unique<QTcpSocket>()) {
    QObject::connect(socket_.get(), &QTcpSocket::readyRead, [this] { NotifyReceive(); });
    QObject::connect(socket_.get(), &QTcpSocket::connected, [this] {
        made_ = true;
        if (unsent_.isEmpty()) return;
        socket_->write(unsent_);
        unsent_.clear();
        socket_->flush();
    });
    // Refused, host not found, the peer closed or the network went away: no
    // reply can come any more, and the waiting link is told at once.
    QObject::connect(socket_.get(), &QTcpSocket::errorOccurred,
                     [this](QAbstractSocket::SocketError error) {
                         unsent_.clear();
                         // A socket that merely could not say its buffer
                         // emptied in time is still connected.
                         if (error == QAbstractSocket::SocketTimeoutError &&
                             socket_->state() == QAbstractSocket::ConnectedState)
                             return;
                         MarkLost();
                     });
    QObject::connect(socket_.get(), &QTcpSocket::disconnected, [this] { MarkLost(); });
}

TcpLinkPort::~TcpLinkPort() {
    Close();
}

int TcpLinkPort::Open(const PortTarget& target) {
    Close();
    made_ = false;
    lost_ = false;
    errorText_.clear();
    if (target.host.trimmed().isEmpty()) return PortError::kNoSuchPort;
    // The connection is made while the wake-up burst waits to be sent; a host
    // that refuses it, or whose name does not resolve, ends the link as soon
    // as the socket says so.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    open_ = true;
    socket_->connectToHost(target.host.trimmed(), target.tcpPort);
    return PortError::kNone;
}

void TcpLinkPort::Close() {
    if (!open_) return;
    open_ = false;  // first: our own disconnect is no lost connection
    unsent_.clear();
    socket_->abort();
}

void TcpLinkPort::MarkLost() {
    if (!open_ || lost_) return;
    lost_ = true;
    errorText_ = socket_->errorString();
    NotifyReceive();
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
    if (!open_ || lost_ || socket_->state() == QAbstractSocket::UnconnectedState) return 0;
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
    if (!open_ || lost_ || socket_->state() == QAbstractSocket::UnconnectedState) return false;
    if (socket_->state() != QAbstractSocket::ConnectedState) {
        unsent_ += bytes;
        return true;
    }
    const bool written = socket_->write(bytes) == bytes.size();
    socket_->flush();
    if (!written) {
        MarkLost();
        return false;
    }
    return !lost_;
}
