#pragma once
// tr58 download, delete, convert and stats: recorded data files of the
// instrument and the documents made of them.

#include <QStringList>

class CliSession;

extern const char kDownloadSynopsis[];
extern const char kDeleteSynopsis[];
extern const char kConvertSynopsis[];
extern const char kStatsSynopsis[];

int RunDownload(CliSession& session, const QStringList& args);
int RunDelete(CliSession& session, const QStringList& args);
int RunConvert(CliSession& session, const QStringList& args);
int RunStats(CliSession& session, const QStringList& args);
