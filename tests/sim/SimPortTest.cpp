// The test port's lost connections: what the link's waits see on the
// virtual clock, as they would on a real port.
#include <gtest/gtest.h>

#include "sim/Instrument.h"
#include "sim/SimPort.h"
#include "sim/VirtualPump.h"

namespace {

PortTarget Lan(const QString& host, quint16 tcpPort) {
    PortTarget target;
    target.number = PortTarget::kLanPort;
    target.host = host;
    target.tcpPort = tcpPort;
    return target;
}

}  // namespace

TEST(SimPort, ConnectionsEndedByTheFarSideAreLostAndWakeTheLink) {
    VirtualPump pump;
    SimPort port(pump);
    Instrument instrument;
    port.AttachInstrument(1, &instrument);
    port.AttachLanInstrument(QStringLiteral("lab:23"), &instrument);
    int wakes = 0;
    port.SetReceiveHandler([&] { ++wakes; });

    // Nothing listens at the LAN address: refused, never made.
    ASSERT_EQ(port.Open(Lan(QStringLiteral("nobody"), 23)), PortError::kNone);
    pump.ProcessEvents(10);
    EXPECT_TRUE(port.ConnectionLost());
    EXPECT_FALSE(port.ConnectionMade());
    EXPECT_FALSE(port.Write("EXIT\r"));
    EXPECT_EQ(wakes, 1);

    // The instrument hangs up; the loss is told at the next event even when
    // it happened during a pause.
    PortTarget com1;
    com1.number = 1;
    ASSERT_EQ(port.Open(com1), PortError::kNone);
    EXPECT_FALSE(port.ConnectionLost()) << "a new open forgets the old loss";
    port.HangUp();
    pump.Sleep(10);
    EXPECT_TRUE(port.ConnectionLost());
    pump.ProcessEvents(10);
    EXPECT_EQ(wakes, 2);
    EXPECT_TRUE(port.ConnectionMade());

    // The dropped-connection fault.
    instrument.Faults().dropAfterBytes = 0;
    ASSERT_EQ(port.Open(Lan(QStringLiteral("lab"), 23)), PortError::kNone);
    pump.ProcessEvents(10);
    EXPECT_TRUE(port.ConnectionLost());
    EXPECT_TRUE(port.ConnectionMade());
    EXPECT_FALSE(port.ErrorText().isEmpty());
}
