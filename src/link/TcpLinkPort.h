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
    bool ConnectionLost() const override { return lost_; }
    bool ConnectionMade() const override { return made_; }
    QString ErrorText() const override { return errorText_; }
    bool IsConnected() const;

private:
    void MarkLost();

    std::unique_ptr<QTcpSocket> socket_;
    bool open_ = false;
    bool made_ = false;
    bool lost_ = false;
    QString errorText_;
    QByteArray unsent_;  // written before the connection was made
};
