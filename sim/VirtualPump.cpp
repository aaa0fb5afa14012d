#include "sim/VirtualPump.h"

VirtualPump::VirtualPump(const QDateTime& start) : start_(start) {}

int VirtualPump::AddDevice(std::function<void(qint64, bool)> device) {
    devices_.push_back(std::move(device));
    return static_cast<int>(devices_.size()) - 1;
}

void VirtualPump::RemoveDevice(int device) {
    // Emptied, not erased: the other devices keep their numbers.
    if (device >= 0 && device < static_cast<int>(devices_.size())) devices_[device] = nullptr;
}

void VirtualPump::Step(qint64 milliseconds, bool events) {
    nowMs_ += milliseconds;
    for (auto& device : devices_)
        if (device) device(nowMs_, events);
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
