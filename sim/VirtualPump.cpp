#include "sim/VirtualPump.h"

VirtualPump::VirtualPump(const QDateTime& start) : start_(start) {}

void VirtualPump::AddDevice(std::function<void(qint64, bool)> device) {
    devices_.push_back(std::move(device));
}

void VirtualPump::Step(qint64 milliseconds, bool events) {
    nowMs_ += milliseconds;
    for (auto& device : devices_) device(nowMs_, events);
}

void VirtualPump::ProcessEvents(int milliseconds) {
    Step(milliseconds, true);
    if (onEvents) onEvents();
}

void VirtualPump::Sleep(int milliseconds) {
    // Time passes in 10 ms steps so the instrument keeps its own timing, but
    // no receive event runs.
    for (int left = milliseconds; left > 0; left -= 10) Step(std::min(left, 10), false);
}

double VirtualPump::Clock() const {
    return Now().time().msecsSinceStartOfDay() / 1000.0;
}

QDateTime VirtualPump::Now() const {
    return start_.addMSecs(nowMs_);
}
