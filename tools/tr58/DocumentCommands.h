#pragma once
// tr58 download, delete, convert and stats: recorded data files of the
// instrument and the documents made of them.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class CliSession;

extern const char kDownloadSynopsis[];
extern const char kDeleteSynopsis[];
extern const char kConvertSynopsis[];
extern const char kStatsSynopsis[];

// What tr58 download is asked for, read from its arguments before anything is
// sent to the instrument.
struct DownloadRequest {
    QList<int> numbers;  // the files by number, as dir lists them
    bool all = false;
    bool deleteAfter = false;
    QString folder = QStringLiteral(".");
    // The date/time range (--from, --to) on the instrument's clock; none: each
    // file whole.
    std::optional<QDateTime> from;
    std::optional<QDateTime> to;
};
// Reads download's arguments; false with the usage message in error.
bool ParseDownloadArguments(const QStringList& arguments, DownloadRequest& request, QString& error);
// Reads delete's arguments (file numbers or --all); false with the usage
// message in error.
bool ParseDeleteArguments(const QStringList& arguments, QList<int>& numbers, bool& all,
                          QString& error);

int RunDownload(CliSession& session, const QStringList& args);
int RunDelete(CliSession& session, const QStringList& args);
int RunConvert(CliSession& session, const QStringList& args);
int RunStats(CliSession& session, const QStringList& args);
