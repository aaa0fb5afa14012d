#pragma once
// What the real-time settings dialog needs from the program around it: the
// link, the settings store, the program's copy of the poll interval, and the
// focus back afterwards. The main window implements it; the dialog never sees
// the main window itself.

#include <QString>

class Link;
class QWidget;
class SettingsStore;

class RealTimeSettingsHost {
public:
    virtual ~RealTimeSettingsHost() = default;
    virtual Link& GetLink() = 0;
    virtual SettingsStore& Store() = 0;
    // The window the dialog and its progress window belong to.
    virtual QWidget* HostWindow() = 0;
    // Gives the focus back to the main window.
    virtual void MainFocus() = 0;
    // The confirmed poll interval, for the real-time window the program opens
    // next (seconds, and the unit code 2, 4 or 8).
    virtual void RealTimeIntervalChanged(qint32 seconds, qint16 unitCode) = 0;
};
