#include "cablewatch/PortPickerReply.h"

#include <QLocalSocket>
#include <QtEndian>

namespace cablewatch {

QByteArray EncodePortPickerReply(const QString& portName) {
    QByteArray data = portName.toLatin1();
    data.append('\0');
    QByteArray record(8, '\0');
    qToLittleEndian<quint32>(kReplyKindPortName, record.data());
    qToLittleEndian<quint32>(static_cast<quint32>(data.size()), record.data() + 4);
    return record + data;
}

std::optional<PortPickerRecord> DecodePortPickerReply(const QByteArray& buffer, qsizetype* consumed,
                                                      bool* malformed) {
    if (consumed) *consumed = 0;
    if (malformed) *malformed = false;
    if (buffer.size() < 8) return std::nullopt;
    PortPickerRecord record;
    record.kind = qFromLittleEndian<quint32>(buffer.constData());
    record.length = qFromLittleEndian<quint32>(buffer.constData() + 4);
    if (record.length == 0 || record.length > kMaxReplyLength) {
        if (malformed) *malformed = true;
        return std::nullopt;
    }
    if (buffer.size() < 8 + qsizetype(record.length)) return std::nullopt;
    record.data = buffer.mid(8, record.length);
    const qsizetype nul = record.data.indexOf('\0');
    record.portName = QString::fromLatin1(nul < 0 ? record.data : record.data.left(nul));
    if (consumed) *consumed = 8 + record.length;
    return record;
}

QString OwnerSocketName(qint64 ownerHandle) {
    return QStringLiteral("cablewatch-owner-%1").arg(ownerHandle);
}

OwnerLink::OwnerLink(qint64 ownerHandle, QObject* parent)
    : QObject(parent), ownerHandle_(ownerHandle), socket_(new QLocalSocket(this)) {}

OwnerLink::~OwnerLink() {
    Close();
}

bool OwnerLink::IsConnected() const {
    return socket_->state() == QLocalSocket::ConnectedState;
}

bool OwnerLink::Connect(int timeoutMs) {
    if (IsConnected()) return true;
    socket_->abort();
    socket_->connectToServer(OwnerSocketName(ownerHandle_));
    return socket_->waitForConnected(timeoutMs);
}

bool OwnerLink::SendPortName(const QString& portName, int timeoutMs) {
    if (!Connect(timeoutMs)) return false;
    const QByteArray record = EncodePortPickerReply(portName);
    if (socket_->write(record) != record.size()) return false;
    while (socket_->bytesToWrite() > 0)
        if (!socket_->waitForBytesWritten(timeoutMs)) return false;
    return true;
}

void OwnerLink::Close() {
    if (socket_->state() == QLocalSocket::UnconnectedState) return;
    socket_->flush();
    socket_->disconnectFromServer();
    if (socket_->state() != QLocalSocket::UnconnectedState) socket_->waitForDisconnected(500);
}

}  // namespace cablewatch
