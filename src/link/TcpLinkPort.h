#pragma once
// The LAN link: the instrument's line carried over TCP.

#include <memory>

#include "link/Port.h"

class QTcpSocket;

class TcpLinkPort : public Port {
public:
    TcpLinkPort();
    ~TcpLinkPort() override;

    int Open(const PortTarget& target) override;
    void Close() override;
    bool IsOpen() const override;
    qint64 OutputPending() const override;
    void DiscardOutput() override;
    qint64 InputPending() const override;
    void DiscardInput() override;
    QByteArray ReadInput() override;
    bool Write(const QByteArray& bytes) override;
    bool IsConnected() const;

private:
    std::unique_ptr<QTcpSocket> socket_;
    bool open_ = false;
    QByteArray unsent_;  // written before the connection was made
};
