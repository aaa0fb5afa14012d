#pragma once
// The whole program offscreen against the in-process instrument on a virtual
// clock: the main window with its link on a simulated port, a recording
// message presenter and a settings file of its own.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "app/frmMain.h"
#include "base/SettingsStore.h"
#include "sim/Instrument.h"
#include "sim/SimPort.h"
#include "sim/VirtualPump.h"
#include "support/RecordingPresenter.h"

class ProgramFixture : public ::testing::Test {
protected:
    ProgramFixture() : port(pump) {
        // The program's data folder (real-time journals) is the test's own.
        oldHome_ = qgetenv("HOME");
        qputenv("HOME", dir.path().toLocal8Bit());
        store =
            std::make_unique<SettingsStore>(SettingsStore::AtFile(dir.filePath("TR58 Link.ini")));
        store->Write("Auto", "False");
        port.AttachInstrument(1, &instrument);
        frmMain::Options options;
        options.store = store.get();
        options.programFolder = dir.path();
        options.port = &port;
        options.pump = &pump;
        options.presenter = &presenter;
        options.dialogs = &dialogs;
        main = std::make_unique<frmMain>(options);
        dialogs.askSave = [](const QString&) { return QMessageBox::No; };
    }
    ~ProgramFixture() override {
        dialogs.askSave = [](const QString&) { return QMessageBox::No; };
        main.reset();
        qputenv("HOME", oldHome_);
    }

    // Commands the instrument received, from the n-th on.
    QStringList CommandsSince(qsizetype n) const { return instrument.CommandLog().mid(n); }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;
    VirtualPump pump;
    SimPort port;
    Instrument instrument;
    RecordingPresenter presenter;
    frmMain::Dialogs dialogs;  // answered by each test
    std::unique_ptr<frmMain> main;

private:
    QByteArray oldHome_;
};
