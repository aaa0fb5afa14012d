#pragma once
// A COM port on a serial device (a USB cable, a built-in port, a
// pseudo-terminal), always 19200 baud, no parity, 8 data bits, 1 stop bit.

#include <memory>

#include "link/Port.h"

class QSerialPort;

class SerialLinkPort : public Port {
public:
    SerialLinkPort();
    ~SerialLinkPort() override;

    int Open(const PortTarget& target) override;
    void Close() override;
    bool IsOpen() const override;
    qint64 OutputPending() const override;
    void DiscardOutput() override;
    qint64 InputPending() const override;
    void DiscardInput() override;
    QByteArray ReadInput() override;
    bool Write(const QByteArray& bytes) override;
    bool ConnectionLost() const override { return lost_; }
    QString ErrorText() const override { return errorText_; }

    // Maps a QSerialPort error on open to the port error numbers. A permission
    // error is "in use" (another program's lock, an exclusive open) unless the
    // device itself shuts this user out.
    static int OpenErrorNumber(int serialPortError, bool userMayOpen = true);

private:
    void MarkLost(const QString& why);

    std::unique_ptr<QSerialPort> port_;
    bool lost_ = false;
    QString errorText_;
};
