#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include "cablewatch/PortPickerReply.h"

using namespace cablewatch;

namespace {

// Runs the event loop until done() or the time is up.
template <typename Done>
bool WaitFor(Done done, int ms = 3000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// An owner: listens on its handle's name and collects what arrives.
struct FakeOwner {
    explicit FakeOwner(qint64 handle) {
        QLocalServer::removeServer(OwnerSocketName(handle));
        server.listen(OwnerSocketName(handle));
        QObject::connect(&server, &QLocalServer::newConnection, [this] {
            while (QLocalSocket* socket = server.nextPendingConnection()) {
                ++connections;
                peer = socket;
                QObject::connect(socket, &QLocalSocket::readyRead,
                                 [this, socket] { received += socket->readAll(); });
                QObject::connect(socket, &QLocalSocket::disconnected, [this] { ++disconnections; });
            }
        });
    }
    QLocalServer server;
    QPointer<QLocalSocket> peer;
    QByteArray received;
    int connections = 0;
    int disconnections = 0;
};

}  // namespace

TEST(PortPickerReply, Com7RecordIsKindZeroLengthFiveAndNulTerminated) {
    const QByteArray record = EncodePortPickerReply(QStringLiteral("COM7"));
    EXPECT_EQ(record, QByteArray::fromHex("00000000"
                                          "05000000"
                                          "434f4d3700"));
    qsizetype consumed = 0;
    const auto decoded = DecodePortPickerReply(record, &consumed);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->kind, 0u);
    EXPECT_EQ(decoded->length, 5u);
    EXPECT_EQ(decoded->portName, QStringLiteral("COM7"));
    EXPECT_EQ(decoded->data, QByteArray("COM7\0", 5));
    EXPECT_EQ(consumed, record.size());
}

TEST(PortPickerReply, LengthCountsCharactersInTheEightBitCodePage) {
    // Outside ISO 8859-1 a character still takes one byte ("?").
    const QByteArray record = EncodePortPickerReply(QStringLiteral("CÖM\u20ac1"));
    const auto decoded = DecodePortPickerReply(record);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->length, 6u);
    EXPECT_EQ(decoded->portName, QStringLiteral("CÖM?1"));
}

TEST(PortPickerReply, PartialAndMalformedRecordsAreNotRead) {
    const QByteArray record = EncodePortPickerReply(QStringLiteral("COM12"));
    bool malformed = true;
    EXPECT_FALSE(DecodePortPickerReply(record.left(10), nullptr, &malformed));
    EXPECT_FALSE(malformed);
    QByteArray huge = QByteArray::fromHex("00000000ffffff7f") + "COM1";
    EXPECT_FALSE(DecodePortPickerReply(huge, nullptr, &malformed));
    EXPECT_TRUE(malformed);
    EXPECT_FALSE(
        DecodePortPickerReply(QByteArray::fromHex("0000000000000000"), nullptr, &malformed));
    EXPECT_TRUE(malformed);
}

TEST(PortPickerReply, OwnerSocketIsNamedAfterTheHandle) {
    EXPECT_EQ(OwnerSocketName(4242), QStringLiteral("cablewatch-owner-4242"));
    EXPECT_EQ(OwnerSocketName(-7), QStringLiteral("cablewatch-owner--7"));
}

TEST(PortPickerReply, OwnerLinkHoldsTheConnectionAndDeliversTheRecord) {
    const qint64 handle = 0x5a000000 + QCoreApplication::applicationPid();
    FakeOwner owner(handle);
    ASSERT_TRUE(owner.server.isListening());
    OwnerLink link(handle);
    ASSERT_TRUE(link.Connect());
    ASSERT_TRUE(WaitFor([&] { return owner.connections == 1; }));
    EXPECT_EQ(owner.disconnections, 0);  // the owner stays disabled meanwhile

    ASSERT_TRUE(link.SendPortName(QStringLiteral("COM7")));
    ASSERT_TRUE(WaitFor([&] { return owner.received.size() >= 13; }));
    EXPECT_EQ(owner.connections, 1);  // the same connection carried the reply
    const auto record = DecodePortPickerReply(owner.received);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->portName, QStringLiteral("COM7"));
    EXPECT_EQ(record->length, 5u);

    link.Close();
    EXPECT_TRUE(WaitFor([&] { return owner.disconnections == 1; }));
    EXPECT_FALSE(link.IsConnected());
}

TEST(PortPickerReply, NoOwnerListeningMeansNoReplyAndNoHang) {
    OwnerLink link(0x7ffffff0);
    QDeadlineTimer deadline(3000);
    EXPECT_FALSE(link.SendPortName(QStringLiteral("COM1"), 200));
    EXPECT_FALSE(deadline.hasExpired());
    link.Close();  // harmless when never connected
}
