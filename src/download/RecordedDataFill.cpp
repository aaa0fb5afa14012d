#include "download/RecordedDataFill.h"

#include <cmath>

#include "base/MessageKeys.h"
#include "base/TextHelpers.h"
#include "document/Document.h"
#include "document/DocumentHost.h"
#include "document/Statistics.h"
#include "download/RecordedDataParser.h"
#include "link/CommunicationProgress.h"
#include "link/LinkState.h"

namespace {

// The parse's progress callback: the user interface runs, a closing window
// stops the parse, and the line is counted and shown.
ParseProgress LineProgress(Document& document, LinkState& state, CommunicationProgress* progress,
                           DocumentHost* host, qint32 countBefore) {
    return [&document, &state, progress, host, countBefore](qint32 dataLine) {
        if (host) {
            host->Yield();
            if (document.bExit) return false;
        }
        if (state.LineTotal == 0) state.LineTotal = 1;
        // The three header lines count too, real-time replies included.
        state.LineCount = countBefore + 3 + dataLine;
        if (!progress || !progress->IsLoaded()) return true;
        // Rounded half to even, as the program's Round does.
        const double percent =
            std::nearbyint(static_cast<double>(state.LineCount) / state.LineTotal * 100.0);
        if (percent > 100) return true;
        if (document.bRealTime)
            progress->SetValue(static_cast<int>(percent));
        else
            progress->SetRowValue(state.LineCount);
        return true;
    };
}

void ApplyHeader(Document& d, const ReplyHeader& header) {
    d.Title = CleanInstrumentText(header.name);
    d.Info.Caption = SafeFileNameText(header.name);
    if (header.start) {
        d.StartTime = ToOleDate(*header.start);
        d.Info.Start = FormatDateTimeLocal(*header.start);
    }
    d.Info.Points = header.count;
    d.ClearPoints();
    d.IntervalUnit = header.intervalUnit;
    d.IntervalValue = header.intervalValue;
    d.NotifyInformationChanged();
}

void ApplyQuantities(Document& d, const RecordedData& data) {
    d.SetQuantityCount(static_cast<int>(data.quantities.size()));
    for (int q = 0; q < d.QuantityCount(); ++q) {
        QuantityInfo& quantity = d.Quantity(q);
        quantity.Name = data.quantities.at(q).name;
        quantity.Unit = data.quantities.at(q).unit;
        quantity.Decimals = -1;
    }
    d.NotifyQuantitiesChanged();
}

void ApplyPoints(Document& d, RecordedData& data) {
    // A quantity's decimals are those of its first reading ever.
    for (int q = 0; q < d.QuantityCount() && q < data.firstDecimals.size(); ++q) {
        if (d.Quantity(q).Decimals == -1) d.Quantity(q).Decimals = data.firstDecimals.at(q);
    }
    d.AppendPoints(std::move(data.points));
    if (data.truncated) d.Info.Points = QString::number(kMaxPoints);
}

// A refused reply: what the user is told and whether the command failed.
ReplyFill Refused(Document& d, const RecordedData& data, DocumentHost* host) {
    ReplyFill fill;
    fill.failed = true;
    switch (data.error) {
        case ReplyError::Unended:
        case ReplyError::Header:
        case ReplyError::Columns:
            // A download that stops here must say why: the user would otherwise
            // see the remaining files simply not arrive. Real time stays quiet;
            // a reply without its end mark is not even a failed command there.
            if (!d.bRealTime) fill.messageKey = MessageKeys::kCommunicationErrors;
            fill.commandFailed = !d.bRealTime || data.error != ReplyError::Unended;
            break;
        case ReplyError::FieldCount:
        case ReplyError::TimeStamp:
            fill.messageKey = MessageKeys::kCommunicationErrors;
            // Real time keeps the points it has. A line refused for its TAB count
            // with no point before it means the command failed; a bad time stamp
            // only loses its own point.
            fill.commandFailed =
                !d.bRealTime || (data.error == ReplyError::FieldCount && d.PointCount() == 0);
            if (d.bRealTime && host) host->StopReal();
            break;
        case ReplyError::None:
            break;
    }
    return fill;
}

}  // namespace

ReplyFill FillDocumentFromReply(Document& d, QStringView reply, LinkState& state,
                                CommunicationProgress* progress, DocumentHost* host) {
    ReplyShape shape;
    if (d.bRealTime)
        shape.form = d.HeaderPending ? ReplyForm::RealTimeFirst : ReplyForm::RealTimePoll;
    shape.quantities = d.QuantityCount();
    shape.pointsHeld = d.bRealTime ? d.PointCount() : 0;
    const qint32 countBefore = state.LineCount;

    RecordedData data =
        ParseRecordedData(reply, shape, LineProgress(d, state, progress, host, countBefore));
    if (data.header) ApplyHeader(d, *data.header);
    if (!data.quantities.isEmpty()) ApplyQuantities(d, data);
    if (!data.columnsRead) return Refused(d, data, host);

    state.LineCount = countBefore + 3 + data.dataLines;
    ApplyPoints(d, data);
    // The first real-time reply has been read: its progress window goes.
    if (d.HeaderPending && d.bRealTime && progress) progress->Unload();
    if (data.error != ReplyError::None) return Refused(d, data, host);
    if (!data.Complete()) return {};

    UpdateFilledInformation(d, d.bRealTime);
    ComputeStatistics(d, host);
    if (d.bExit) return {};
    d.HeaderPending = false;
    if (host) {
        host->SetDocumentCommands(true);
        if (d.bRealTime && d.PointCount() == kMaxPoints) host->StopRealTime(true);
    }
    return {};
}

void NoteReplyFill(const ReplyFill& fill, LinkState& state) {
    if (fill.commandFailed) state.CommandFailed = true;
    if (!fill.messageKey.isEmpty()) state.MessageKey = fill.messageKey;
}
