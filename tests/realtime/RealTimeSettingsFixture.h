#pragma once
// The real-time settings against the in-process instrument on a virtual
// clock, with a settings store in a temporary folder and a stand-in for the
// program around the dialog and for its real-time window.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "base/SettingsStore.h"
#include "link/Link.h"
#include "realtime/RealTimeSettingsHost.h"
#include "sim/Instrument.h"
#include "sim/SimPort.h"
#include "sim/VirtualPump.h"
#include "support/RecordingPresenter.h"

// A real-time window as the link sees it: running or not, polling or not.
class FakeMonitor : public RealTimeMonitor {
public:
    bool IsActive() const override { return active; }
    bool IsPolling() const override { return polling; }
    int PointCount() const override { return 1; }
    void StopRealTime() override {
        ++stops;
        active = false;
        polling = false;
    }
    bool active = false;
    bool polling = false;
    int stops = 0;
};

class RealTimeSettingsFixture : public ::testing::Test, public RealTimeSettingsHost {
protected:
    RealTimeSettingsFixture() : port(pump), link(port, pump, presenter) {
        port.AttachInstrument(1, &instrument);
        link.State().ConfiguredPort = 1;
        link.SetRealTimeMonitor(&monitor);
        store = std::make_unique<SettingsStore>(
            SettingsStore::AtFile(dir.filePath(QStringLiteral("TR58 Link.ini"))));
    }

    // Every command line the instrument received, TIME, ECHO OFF and EXIT left out.
    QStringList Commands() const {
        QStringList commands;
        for (const QString& line : instrument.CommandLog()) {
            if (line.startsWith(QLatin1String("TIME")) || line == QLatin1String("ECHO OFF") ||
                line == QLatin1String("EXIT"))
                continue;
            commands << line;
        }
        return commands;
    }

    // RealTimeSettingsHost.
    Link& GetLink() override { return link; }
    SettingsStore& Store() override { return *store; }
    QWidget* HostWindow() override { return nullptr; }
    void MainFocus() override { ++focusCalls; }
    void RealTimeIntervalChanged(qint32 seconds, qint16 unitCode) override {
        keptInterval = seconds;
        keptUnit = unitCode;
    }

    QTemporaryDir dir;
    VirtualPump pump;
    SimPort port;
    Instrument instrument;
    RecordingPresenter presenter;
    Link link;
    FakeMonitor monitor;
    std::unique_ptr<SettingsStore> store;
    int focusCalls = 0;
    qint32 keptInterval = -1;
    qint16 keptUnit = -1;
};
