#pragma once
// The program's single port object: COM ports through the serial device they
// are mapped to, port 17 through TCP. Which one is used is decided at each open.

#include "link/SerialLinkPort.h"
#include "link/TcpLinkPort.h"

class PortControl : public Port {
public:
    PortControl();

    int Open(const PortTarget& target) override;
    void Close() override;
    bool IsOpen() const override;
    qint64 OutputPending() const override;
    void DiscardOutput() override;
    qint64 InputPending() const override;
    void DiscardInput() override;
    QByteArray ReadInput() override;
    bool Write(const QByteArray& bytes) override;
    bool ConnectionLost() const override;
    bool ConnectionMade() const override;
    QString ErrorText() const override;

private:
    SerialLinkPort serial_;
    TcpLinkPort tcp_;
    Port* active_ = &serial_;
};
