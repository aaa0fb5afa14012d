#include "link/SerialLinkPort.h"

#include <QFileInfo>
#include <QSerialPort>

SerialLinkPort::SerialLinkPort() : port_(std::make_unique<QSerialPort>()) {
    QObject::connect(port_.get(), &QSerialPort::readyRead, [this] { NotifyReceive(); });
}

SerialLinkPort::~SerialLinkPort() {
    Close();
}

int SerialLinkPort::OpenErrorNumber(int serialPortError) {
    switch (static_cast<QSerialPort::SerialPortError>(serialPortError)) {
        case QSerialPort::NoError:
            return PortError::kNone;
        case QSerialPort::DeviceNotFoundError:
            return PortError::kNoSuchPort;
        // Another program holds the port: its lock file, or the device is busy.
        case QSerialPort::PermissionError:
        case QSerialPort::OpenError:
            return PortError::kPortInUse;
        case QSerialPort::ResourceError:
            return PortError::kUnavailable;
        default:
            return PortError::kOther;
    }
}

int SerialLinkPort::Open(const PortTarget& target) {
    Close();
    if (target.device.isEmpty() || !QFileInfo::exists(target.device)) return PortError::kNoSuchPort;
    port_->setPortName(target.device);
    if (!port_->open(QIODevice::ReadWrite)) {
        const int error = OpenErrorNumber(port_->error());
        port_->clearError();
        return error;
    }
    // Modem-line settings fail on pseudo-terminals; the instrument needs none.
    port_->setBaudRate(QSerialPort::Baud19200);
    port_->setParity(QSerialPort::NoParity);
    port_->setDataBits(QSerialPort::Data8);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    port_->clearError();
    return PortError::kNone;
}

void SerialLinkPort::Close() {
    if (port_->isOpen()) port_->close();
}

bool SerialLinkPort::IsOpen() const {
    return port_->isOpen();
}

qint64 SerialLinkPort::OutputPending() const {
    return port_->isOpen() ? port_->bytesToWrite() : 0;
}

void SerialLinkPort::DiscardOutput() {
    if (port_->isOpen()) port_->clear(QSerialPort::Output);
}

qint64 SerialLinkPort::InputPending() const {
    return port_->isOpen() ? port_->bytesAvailable() : 0;
}

void SerialLinkPort::DiscardInput() {
    if (!port_->isOpen()) return;
    port_->readAll();
    port_->clear(QSerialPort::Input);
}

QByteArray SerialLinkPort::ReadInput() {
    return port_->isOpen() ? port_->readAll() : QByteArray();
}

bool SerialLinkPort::Write(const QByteArray& bytes) {
    if (!port_->isOpen()) return false;
    const bool written = port_->write(bytes) == bytes.size();
    port_->flush();  // on the line now, not at the next event
    return written;
}
