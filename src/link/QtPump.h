#pragma once
// The program's pump: the Qt event loop on the real clock.

#include "link/Pump.h"

class QtPump : public Pump {
public:
    void ProcessEvents(int milliseconds) override;
    void Sleep(int milliseconds) override;
    double Clock() const override;
    QDateTime Now() const override;
};
