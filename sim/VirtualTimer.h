#pragma once
// The real-time window's timer on the tests' virtual clock: it ticks when the
// clock passes its due time while events run (as a QTimer would), once per
// due time however far the clock jumped.

#include "realtime/RealTimeTimer.h"
#include "sim/VirtualPump.h"

class VirtualTimer : public RealTimeTimer {
public:
    explicit VirtualTimer(VirtualPump& pump) : pump_(pump) {
        device_ = pump.AddDevice([this](qint64 nowMs, bool events) {
            if (!events || !active_ || nowMs < dueMs_) return;
            dueMs_ = nowMs + period_;
            ++ticks;
            Fire();
        });
    }
    ~VirtualTimer() override { pump_.RemoveDevice(device_); }
    VirtualTimer(const VirtualTimer&) = delete;
    VirtualTimer& operator=(const VirtualTimer&) = delete;
    void Start(int periodMs) override {
        period_ = periodMs;
        active_ = true;
        dueMs_ = pump_.Milliseconds() + periodMs;
    }
    void Stop() override { active_ = false; }
    bool IsActive() const override { return active_; }
    int Period() const override { return period_; }
    // When the next tick is due (virtual milliseconds).
    qint64 DueMs() const { return dueMs_; }

    int ticks = 0;

private:
    VirtualPump& pump_;
    int device_ = -1;
    bool active_ = false;
    int period_ = 0;
    qint64 dueMs_ = 0;
};
