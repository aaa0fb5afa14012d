#pragma once
// The link against the in-process instrument on a virtual clock.

#include <gtest/gtest.h>

#include "link/Link.h"
#include "sim/Instrument.h"
#include "sim/SimPort.h"
#include "sim/VirtualPump.h"
#include "support/RecordingPresenter.h"

class LinkFixture : public ::testing::Test {
protected:
    LinkFixture() : port(pump), link(port, pump, presenter) {
        port.AttachInstrument(1, &instrument);
        link.State().ConfiguredPort = 1;
    }

    // Runs one command as a window would and returns the reply.
    bool Run(const QString& command, Command::Code code, QString& reply, bool closeAfter = true) {
        return link.SendCommandAndReceive(command, code, reply, closeAfter);
    }
    double Seconds() const { return pump.Milliseconds() / 1000.0; }
    QString Written() { return QString::fromLatin1(port.TakeWritten()); }

    VirtualPump pump;
    SimPort port;
    Instrument instrument;
    RecordingPresenter presenter;
    Link link;
};
