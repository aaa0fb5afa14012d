// Fuzz target: the tr58 command line, read up to the point where a command would talk to the
// instrument: the connection options (CliSession::TakeConnectionOptions), the command name, and
// the arguments of download, delete and monitor. The input is the argument list, the arguments
// separated by NUL bytes.

#include "CliSession.h"
#include "DocumentCommands.h"
#include "MonitorCommand.h"
#include "QtFuzz.h"
#include "document/DocumentRecord.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartQt();
    // One session for the run, as tr58 has one per process.
    static CliSession session;
    QStringList args;
    for (const QByteArray& part : fuzz::Bytes(data, size).split('\0'))
        args << QString::fromUtf8(part);

    QString error;
    const qsizetype before = args.size();
    if (!session.TakeConnectionOptions(args, error)) {
        Check(!error.isEmpty());
        return 0;
    }
    Check(args.size() <= before);
    if (!args.isEmpty()) {
        for (const char* option : {"--host", "--port", "--device", "--auto"})
            Check(args.first() != QLatin1String(option));
    }
    const LinkState& state = session.GetLink().State();
    Check(state.ConfiguredPort >= 1 && state.ConfiguredPort <= 17);
    if (args.isEmpty()) return 0;

    const QString name = args.takeFirst();
    if (name == QLatin1String("download")) {
        DownloadRequest request;
        if (!ParseDownloadArguments(args, request, error)) {
            Check(error.startsWith(QLatin1String("download: ")));
            return 0;
        }
        Check(request.all != !request.numbers.isEmpty());
        for (int number : request.numbers) Check(number >= 0);
        Check(request.from.has_value() == request.to.has_value());
        if (request.from) Check(request.from->isValid() && request.to->isValid());
    } else if (name == QLatin1String("delete")) {
        QList<int> numbers;
        bool all = false;
        if (!ParseDeleteArguments(args, numbers, all, error)) {
            Check(error.startsWith(QLatin1String("delete: ")));
            return 0;
        }
        Check(all != !numbers.isEmpty());
    } else if (name == QLatin1String("monitor")) {
        MonitorRequest request;
        if (!ParseMonitorArguments(args, request, error)) {
            Check(!error.isEmpty());
            return 0;
        }
        Check(request.interval >= 1 && request.interval <= kLongestInterval);
        Check(request.count >= 0 && request.count <= kMaxPoints);
        Check(request.output.isEmpty() ||
              request.output.endsWith(QLatin1String(".t58"), Qt::CaseInsensitive));
    }
    return 0;
}
