#include "link/SerialLinkPort.h"

#include <QFileInfo>
#include <QSerialPort>
#include <cerrno>

#include "link/SerialPlatform.h"

SerialLinkPort::SerialLinkPort() : port_(std::make_unique<QSerialPort>()) {
    QObject::connect(port_.get(), &QSerialPort::readyRead, [this] { NotifyReceive(); });
    // A USB adapter pulled out, or the far end of a pseudo-terminal gone: the
    // device fails every read and write from now on.
    QObject::connect(port_.get(), &QSerialPort::errorOccurred,
                     [this](QSerialPort::SerialPortError error) {
                         if (!port_->isOpen()) return;
                         if (error == QSerialPort::ResourceError ||
                             error == QSerialPort::ReadError || error == QSerialPort::WriteError)
                             MarkLost(port_->errorString());
                     });
}

SerialLinkPort::~SerialLinkPort() {
    Close();
}

int SerialLinkPort::OpenErrorNumber(int serialPortError, bool userMayOpen) {
    switch (static_cast<QSerialPort::SerialPortError>(serialPortError)) {
        case QSerialPort::NoError:
            return PortError::kNone;
        case QSerialPort::DeviceNotFoundError:
            return PortError::kNoSuchPort;
        // Another program holds the port: its lock file, or the device is busy.
        case QSerialPort::PermissionError:
            return userMayOpen ? PortError::kPortInUse : PortError::kPermissionDenied;
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
    lost_ = false;
    errorText_.clear();
    if (target.device.isEmpty() || !QFileInfo::exists(target.device)) return PortError::kNoSuchPort;
    const QFileInfo info(target.device);
    if (info.isDir()) {
        errorText_ = QStringLiteral("a folder, not a serial device");
        return PortError::kOther;
    }
    port_->setPortName(target.device);
    if (!port_->open(QIODevice::ReadWrite)) {
        const int error =
            OpenErrorNumber(port_->error(), SerialPlatform::MayOpenReadWrite(target.device));
        errorText_ = port_->errorString();
        // A file or /dev/null opens, but has no line settings.
        if (port_->errorString() == qt_error_string(ENOTTY))
            errorText_ = QStringLiteral("not a serial device (%1)").arg(port_->errorString());
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

void SerialLinkPort::MarkLost(const QString& why) {
    if (lost_) return;
    lost_ = true;
    errorText_ = why;
    NotifyReceive();
}

qint64 SerialLinkPort::OutputPending() const {
    if (!port_->isOpen()) return 0;
    // Bytes still in Qt's buffer, and those the driver holds: at 19200 baud
    // the wake-up burst spends more than a second there after Qt let it go.
    return port_->bytesToWrite() + SerialPlatform::DriverOutputQueue(port_->handle());
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
    if (!port_->isOpen() || lost_) return false;
    const bool written = port_->write(bytes) == bytes.size();
    port_->flush();  // on the line now, not at the next event
    if (!written || lost_) {
        MarkLost(port_->errorString());
        return false;
    }
    return true;
}
