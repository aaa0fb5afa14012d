// The LAN port against real sockets on loopback: a connection that ends by
// itself must be seen at once, not after the reply's time limit.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include "link/TcpLinkPort.h"

namespace {

// Lets events run until done() or a generous deadline; the deadline only
// keeps a broken build from hanging.
template <typename Done>
bool RunEventsUntil(Done done) {
    QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

PortTarget Loopback(quint16 port) {
    PortTarget target;
    target.number = PortTarget::kLanPort;
    target.host = QStringLiteral("127.0.0.1");
    target.tcpPort = port;
    return target;
}

// A TCP port on loopback where nothing listens.
quint16 ClosedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

}  // namespace

TEST(TcpLinkPort, RefusedHostIsALostConnectionAtOnce) {
    TcpLinkPort port;
    int wakes = 0;
    port.SetReceiveHandler([&] { ++wakes; });
    ASSERT_EQ(port.Open(Loopback(ClosedPort())), PortError::kNone);
    ASSERT_TRUE(RunEventsUntil([&] { return port.ConnectionLost(); }));
    EXPECT_GE(wakes, 1) << "a waiting link is woken by the receive event";
    EXPECT_FALSE(port.ConnectionMade()) << "the address is what the user must check";
    EXPECT_FALSE(port.ErrorText().isEmpty());
    EXPECT_FALSE(port.Write("EXIT\r"));
    EXPECT_EQ(port.OutputPending(), 0);
}

TEST(TcpLinkPort, PeerClosingTheConnectionIsLostAfterItsLastBytes) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    TcpLinkPort port;
    QByteArray received;
    port.SetReceiveHandler([&] { received += port.ReadInput(); });
    ASSERT_EQ(port.Open(Loopback(server.serverPort())), PortError::kNone);
    ASSERT_TRUE(RunEventsUntil([&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();
    ASSERT_TRUE(RunEventsUntil([&] { return port.IsConnected(); }));
    EXPECT_TRUE(port.ConnectionMade());
    EXPECT_FALSE(port.ConnectionLost());

    // The instrument switched off: its last words, then the connection ends.
    peer->write("line closed\r\n");
    peer->flush();
    peer->disconnectFromHost();
    ASSERT_TRUE(RunEventsUntil([&] { return port.ConnectionLost(); }));
    received += port.ReadInput();
    EXPECT_EQ(received, QByteArray("line closed\r\n"));
    EXPECT_TRUE(port.ConnectionMade()) << "the host was reached: its address is right";
    EXPECT_FALSE(port.Write("DIR\r"));
    delete peer;

    // The loss is forgotten at the next open; our own close is no loss.
    ASSERT_EQ(port.Open(Loopback(server.serverPort())), PortError::kNone);
    EXPECT_FALSE(port.ConnectionLost());
    ASSERT_TRUE(RunEventsUntil([&] { return port.IsConnected(); }));
    port.Close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(port.ConnectionLost());
}
