#pragma once
// The simulator's faults as rows for table-driven tests against the
// in-process instrument: the same faults tr58sim --fault injects, applied to
// an Instrument before a window talks to it.

#include <functional>
#include <vector>

#include "sim/Instrument.h"

struct SimFaultRow {
    const char* name;
    std::function<void(Instrument&)> apply;
};

// lateCommand: the command whose reply comes 3 s late (the first the window
// sends after opening).
inline std::vector<SimFaultRow> SimFaultRows(const QByteArray& lateCommand) {
    return {
        {"none", [](Instrument&) {}},
        {"silent", [](Instrument& i) { i.Faults().silent = true; }},
        {"silent-after=3", [](Instrument& i) { i.Faults().silentAfter = 3; }},
        {"err", [](Instrument& i) { i.Faults().errReplies = true; }},
        {"gone", [](Instrument& i) { i.Faults().filesGone = true; }},
        {"garble=5", [](Instrument& i) { i.Faults().garbleLine = 5; }},
        {"no-end-mark", [](Instrument& i) { i.Faults().noEndMark = true; }},
        {"drop=100", [](Instrument& i) { i.Faults().dropAfterBytes = 100; }},
        {"closed mid-PLAY", [](Instrument& i) { i.Faults().dropAfterBytes = 3000; }},
        {"recording", [](Instrument& i) { i.Faults().recording = true; }},
        {"idle-close=1", [](Instrument& i) { i.Faults().idleCloseSeconds = 1; }},
        {"no-probe", [](Instrument& i) { i.Faults().noProbe = true; }},
        {"delay 1500", [](Instrument& i) { i.SetResponseDelay(1500); }},
        {"delay 2500", [](Instrument& i) { i.SetResponseDelay(2500); }},
        {"late",
         [lateCommand](Instrument& i) { i.Faults().lateReplies.insert(lateCommand, 3000); }},
    };
}
