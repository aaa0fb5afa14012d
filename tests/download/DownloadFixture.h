#pragma once
// The link against the in-process simulator on a virtual clock, for the
// download and the deletion walk.

#include <gtest/gtest.h>

#include "base/TextHelpers.h"
#include "download/DirEntry.h"
#include "link/Link.h"
#include "sim/Instrument.h"
#include "sim/SimPort.h"
#include "sim/VirtualPump.h"
#include "support/RecordingPresenter.h"

class DownloadFixture : public ::testing::Test {
protected:
    DownloadFixture() : port(pump), link(port, pump, presenter) {
        port.AttachInstrument(1, &instrument);
        link.State().ConfiguredPort = 1;
    }

    // The instrument's directory as the dialog holds it.
    QList<DirEntry> Directory() const {
        return ParseDirReply(DecodeInstrumentBytes(instrument.DirReply()));
    }
    // Every command line the instrument received, TIME and ECHO OFF left out.
    QStringList Commands() const {
        QStringList commands;
        for (const QString& line : instrument.CommandLog()) {
            if (line.startsWith(QLatin1String("TIME")) || line == QLatin1String("ECHO OFF"))
                continue;
            commands << line;
        }
        return commands;
    }
    QStringList FileNames() {
        QStringList names;
        for (const SimFile& file : instrument.Files()) names << QString::fromLatin1(file.name);
        return names;
    }

    VirtualPump pump;
    SimPort port;
    Instrument instrument;
    RecordingPresenter presenter;
    Link link;
};
