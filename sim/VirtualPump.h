#pragma once
// The tests' pump: a virtual clock that advances only when the link waits.
// Each wait lets the simulated ports move bytes, so a 2 s wait costs no real
// time and every run sees the same timing.

#include <functional>
#include <vector>

#include "link/Pump.h"

class VirtualPump : public Pump {
public:
    explicit VirtualPump(const QDateTime& start = QDateTime(QDate(2026, 11, 2), QTime(10, 0, 0)));

    void ProcessEvents(int milliseconds) override;
    void Sleep(int milliseconds) override;
    double Clock() const override;
    QDateTime Now() const override;

    qint64 Milliseconds() const { return nowMs_; }
    // Called at every step with the time and whether events run (false in Sleep).
    // The number it returns takes the device off again; a device that dies
    // before the pump must do so.
    int AddDevice(std::function<void(qint64 nowMs, bool events)> device);
    void RemoveDevice(int device);
    // Called once per ProcessEvents, like a user acting while the link waits.
    std::function<void()> onEvents;

private:
    void Step(qint64 milliseconds, bool events);

    QDateTime start_;
    qint64 nowMs_ = 0;
    std::vector<std::function<void(qint64, bool)>> devices_;
};
