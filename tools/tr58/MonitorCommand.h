#pragma once
// tr58 monitor: the instrument's readings as they come, like the real-time
// window, optionally kept in a .t58 file that survives a killed run.

#include <QStringList>

class CliSession;

extern const char kMonitorSynopsis[];
int RunMonitor(CliSession& session, const QStringList& args);
