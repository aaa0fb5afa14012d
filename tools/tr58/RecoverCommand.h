#pragma once
// tr58 recover: the journal of a real-time recording that did not end normally
// made into a .t58 document.

#include <QStringList>

class CliSession;

extern const char kRecoverSynopsis[];

int RunRecover(CliSession& session, const QStringList& args);
