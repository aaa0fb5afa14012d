#include "instrument/DeviceInformation.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "link/Link.h"

namespace {
const QString kCrLf = QStringLiteral("\r\n");

QString BeforeLineEnd(const QString& text) {
    const qsizetype end = text.indexOf(kCrLf);
    return end < 0 ? text : text.left(end);
}
}  // namespace

void ReadVersReply(const QString& reply, DeviceInformation& info) {
    const qsizetype p = reply.indexOf(kCrLf);
    if (p < 0) return;
    info.type = CleanInstrumentText(reply.left(p));
    // The version runs from the second line to the reply's last four
    // characters (its line end and end mark).
    const qsizetype after = reply.size() - p - 1;
    const qsizetype k = std::min<qsizetype>(4, after);
    const qsizetype length = reply.size() - (p + 2) - k;
    info.version = length > 0 ? CleanInstrumentText(reply.mid(p + 2, length)).trimmed() : QString();
    if (info.version.isEmpty()) info.version = StringTable::Text(Str::kNoProbeConnected);
}

void ReadSnumReply(const QString& reply, DeviceInformation& info) {
    QString text = reply;
    TakeField(text);
    info.number = CleanInstrumentText(BeforeLineEnd(text));
    TakeField(text);
    info.snumber = text.contains(kCrLf) ? CleanInstrumentText(BeforeLineEnd(text)) : QString();
}

void ReadCalReply(const QString& reply, DeviceInformation& info) {
    QString text = reply;
    const QString label = TakeField(text);
    info.calib = CleanInstrumentText(text.size() > 1 ? BeforeLineEnd(text) : label);
}

DeviceInformation ReadDeviceInformation(Link& link) {
    DeviceInformation info;
    CommunicationProgress& progress = link.Progress();
    const int steps = link.State().AutoDetect ? 19 : 3;
    progress.Load();
    progress.SetMaximum(steps);
    progress.SetValue(0);
    progress.SetMsg(StringTable::Text(Str::kReadingDeviceInformation));

    QString reply;
    if (link.SendCommandAndReceive(QStringLiteral("VERS\r"), Command::kVers, reply, false)) {
        info.versRead = true;
        // Each step is counted when it is done: the last one only when "CAL"
        // has been answered and the line closed, so a full bar means finished.
        progress.SetValue(steps - 2);
        ReadVersReply(reply, info);

        if (link.SendCommandAndReceive(QStringLiteral("SNUM\r"), Command::kSnum, reply, false)) {
            ReadSnumReply(reply, info);
            progress.SetValue(steps - 1);
            if (link.SendCommandAndReceive(QStringLiteral("CAL\r"), Command::kCal, reply, true)) {
                ReadCalReply(reply, info);
                progress.SetValue(steps);
            }
        }
    }
    link.EndSequence();
    if (progress.IsLoaded()) progress.Unload();
    return info;
}
