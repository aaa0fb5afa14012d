#pragma once
// tr58 units and tr58 units set: the probe's quantities and the units the
// instrument shows them in, the choice the real-time window reads.

#include <QStringList>

class CliSession;

extern const char kUnitsSynopsis[];

int RunUnits(CliSession& session, const QStringList& args);
