#pragma once
// How the link waits. A command runs to its end inside the user's command; while
// it waits for the instrument it lets events run through a Pump. The program's
// pump runs the Qt event loop on the real clock; the tests' pump advances a
// virtual clock and lets the simulator answer, so a 2 s wait costs nothing.

#include <QDateTime>

class Pump {
public:
    virtual ~Pump() = default;
    // Lets events run (port input, the Cancel button) and pauses up to
    // milliseconds; returns earlier only when milliseconds is 0.
    virtual void ProcessEvents(int milliseconds) = 0;
    // Waits without letting any event run (the line needs quiet time).
    virtual void Sleep(int milliseconds) = 0;
    // Seconds since midnight, with fractions; wraps to 0 at midnight.
    virtual double Clock() const = 0;
    // The computer's date and time (the instrument clock is set from it).
    virtual QDateTime Now() const = 0;

    // Seconds passed since start (a Clock() reading), correct across midnight.
    double Elapsed(double start) const {
        double now = Clock();
        if (now < start) start -= 86400.0;
        return now - start;
    }
};
