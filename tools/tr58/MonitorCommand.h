#pragma once
// tr58 monitor: the instrument's readings as they come, like the real-time
// window, optionally kept in a .t58 file that survives a killed run.

#include <QString>
#include <QStringList>
#include <QtGlobal>

class CliSession;

extern const char kMonitorSynopsis[];
// The longest interval between two readings: a day.
inline constexpr qint32 kLongestInterval = 86400;

// What tr58 monitor is asked for, read from its arguments before anything is
// sent to the instrument.
struct MonitorRequest {
    qint32 interval = 5;  // seconds between readings
    qint32 count = 0;     // readings to take; 0: until stopped
    QString output;       // the .t58 file; empty: none
    bool force = false;   // an existing output file may be written over
};
// Reads monitor's arguments over the request's defaults; false with the usage
// message in error.
bool ParseMonitorArguments(const QStringList& args, MonitorRequest& request, QString& error);

int RunMonitor(CliSession& session, const QStringList& args);
