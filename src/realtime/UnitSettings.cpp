#include "realtime/UnitSettings.h"

#include "base/MessageKeys.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "document/DocumentRecord.h"
#include "link/Link.h"

namespace {
const QString kCrLf = QStringLiteral("\r\n");
const QString kEndMark = QStringLiteral("\x1A");
}  // namespace

const std::array<IntervalEntry, kIntervalCount> kIntervals = {{
    {"1    s", 1, IntervalUnitCode::kSeconds},
    {"5    s", 5, IntervalUnitCode::kSeconds},
    {"15  s", 15, IntervalUnitCode::kSeconds},
    {"30  s", 30, IntervalUnitCode::kSeconds},
    {"1    min", 60, IntervalUnitCode::kMinutes},
    {"5    min", 300, IntervalUnitCode::kMinutes},
    {"15  min", 900, IntervalUnitCode::kMinutes},
    {"30  min", 1800, IntervalUnitCode::kMinutes},
    {"1    h", 3600, IntervalUnitCode::kHours},
    {"3    h", 10800, IntervalUnitCode::kHours},
    {"12  h", 43200, IntervalUnitCode::kHours},
}};

QString QuantityChoice::ShownName() const {
    return CleanInstrumentText(Name).trimmed();
}

QString QuantityChoice::ShownUnit(int index) const {
    if (index < 0 || index >= Units.size()) return {};
    return CleanInstrumentText(Units.at(index).Unit).trimmed();
}

bool IsNoProbeReply(const QString& reply) {
    return reply == kEndMark;
}

QList<QuantityChoice> ParseUnitReply(const QString& reply) {
    QList<QuantityChoice> quantities;
    // Nothing after the end mark belongs to the reply.
    QString text = reply.left(reply.indexOf(kEndMark));
    while (!text.isEmpty()) {
        int tabs = 0;
        QString line = TakeLine(text, tabs);
        if (line.isEmpty()) break;  // no line end: the rest is no quantity
        line.chop(kCrLf.size());
        // The fields are split here rather than taken with TakeField: that
        // skips a leading TAB, and so would swallow an empty unit choice.
        const QStringList fields = line.split(QLatin1Char('\t'));
        QuantityChoice quantity;
        quantity.ListIndex = static_cast<qint16>(quantities.size());
        quantity.Name = fields.value(1).left(QuantityChoice::kNameLength);
        for (int f = 3; f < fields.size(); ++f) {
            quantity.Units << QuantityUnit{static_cast<qint16>(f - 3),
                                           fields.at(f).left(QuantityChoice::kUnitLength)};
        }
        // A choice of no unit in the list (a damaged reply) is taken as not
        // shown: it would otherwise go back to the instrument in UNIT.
        const int choice = LeadingDecimal(fields.value(2));
        quantity.UnitChoice = static_cast<qint16>(choice <= quantity.Units.size() ? choice : 0);
        quantities << quantity;
    }
    return quantities;
}

QString UnitChangeCommand(const QList<QuantityChoice>& quantities, const QList<bool>& shown) {
    QString command = QStringLiteral("UNIT ");
    for (int q = 0; q < quantities.size(); ++q) {
        const bool on = shown.value(q, false);
        command += QString::number(on ? quantities.at(q).UnitChoice : 0) + QLatin1Char(' ');
    }
    return command + QLatin1Char('\r');
}

qint32 IntervalSecond(int listIndex) {
    if (listIndex < 0 || listIndex >= kIntervalCount) return 0;
    return kIntervals[listIndex].seconds;
}

qint16 IntervalUnit(int listIndex) {
    if (listIndex < 0 || listIndex >= kIntervalCount) return IntervalUnitCode::kSeconds;
    return kIntervals[listIndex].unitCode;
}

int ListInterval(qint32 seconds) {
    for (int i = 0; i < kIntervalCount; ++i)
        if (kIntervals[i].seconds == seconds) return i;
    return -1;
}

UnitReadResult ReadQuantityTable(Link& link, QList<QuantityChoice>& quantities, bool closeAfter) {
    quantities.clear();
    CommunicationProgress& progress = link.Progress();
    progress.Load();
    progress.SetValue(0);
    progress.SetMsg(StringTable::Text(Str::kReadingInstrumentSettings));
    link.StartLineCount(0);
    QString reply;
    const bool ok =
        link.SendCommandAndReceive(QStringLiteral("UNIT\r"), Command::kUnit, reply, closeAfter);
    link.EndSequence();
    UnitReadResult result = UnitReadResult::Failed;
    if (!ok) {
        link.MarkFailed();
    } else if (IsNoProbeReply(reply)) {
        if (progress.IsLoaded()) progress.Unload();
        QString key = MessageKeys::kNoProbe;
        link.ShowMessage(key);
        link.MarkFailed();
        link.CloseLink();
        result = UnitReadResult::NoProbe;
    } else {
        quantities = ParseUnitReply(reply);
        result = UnitReadResult::Read;
    }
    if (progress.IsLoaded()) progress.Unload();
    return result;
}

bool SendUnitChoice(Link& link, const QList<QuantityChoice>& quantities, const QList<bool>& shown) {
    QString reply;
    const bool ok = link.SendCommandAndReceive(UnitChangeCommand(quantities, shown),
                                               Command::kUnitChange, reply, true);
    link.EndSequence();
    return ok;
}
