#pragma once
// The real-time window's timer (tmrRealTime) as the acquisition sees it: a
// period, on and off, and a tick. The program's runs on a QTimer; the tests'
// runs on the virtual clock, so a 12 h interval costs no real time.
//
// A tick is never delivered again while its handler still runs (the handler
// waits for the instrument and lets events run meanwhile).

#include <QTimer>
#include <functional>
#include <utility>

class RealTimeTimer {
public:
    virtual ~RealTimeTimer() = default;
    // Arms the timer with this period (milliseconds); an armed timer starts
    // its period again.
    virtual void Start(int periodMs) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
    // The period last given to Start.
    virtual int Period() const = 0;

    void SetTickHandler(std::function<void()> handler) { handler_ = std::move(handler); }

protected:
    void Fire() {
        if (firing_ || !handler_) return;
        firing_ = true;
        handler_();
        firing_ = false;
    }

private:
    std::function<void()> handler_;
    bool firing_ = false;
};

// The timer on the Qt event loop.
class QtRealTimeTimer : public RealTimeTimer {
public:
    QtRealTimeTimer() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Fire(); });
    }
    void Start(int periodMs) override { timer_.start(periodMs); }
    void Stop() override { timer_.stop(); }
    bool IsActive() const override { return timer_.isActive(); }
    int Period() const override { return timer_.interval(); }

private:
    QTimer timer_;
};
