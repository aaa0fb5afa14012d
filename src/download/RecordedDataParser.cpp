#include "download/RecordedDataParser.h"

#include <cmath>

#include "base/MessageKeys.h"
#include "document/Document.h"
#include "document/DocumentHost.h"
#include "document/Statistics.h"
#include "download/TimeStamp.h"
#include "base/TextHelpers.h"
#include "link/CommunicationProgress.h"
#include "link/LinkState.h"

namespace {

constexpr char16_t kCtrlZ = 0x1A;

// Leading decimal digits, as BASIC's Val reads them ("02" -> 2).
int LeadingDecimal(const QString& text) {
    int value = 0;
    for (const QChar c : text.trimmed()) {
        if (c < u'0' || c > u'9') break;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

}  // namespace

RecordedDataParser::RecordedDataParser(Document& document, LinkState& state,
                                       CommunicationProgress* progress, MessagePresenter* presenter,
                                       MessageContext context, DocumentHost* host)
    : document_(document),
      state_(state),
      progress_(progress),
      presenter_(presenter),
      context_(std::move(context)),
      host_(host) {}

void RecordedDataParser::Fail(bool quietly) {
    failed_ = true;
    if (quietly && document_.bRealTime) return;
    state_.CommandFailed = true;
    // A download that stops here must say why: the user would otherwise see
    // the remaining files simply not arrive.
    if (document_.bRealTime) return;
    state_.MessageKey = MessageKeys::kCommunicationErrors;
    if (presenter_) ShowMessage(state_.MessageKey, context_, *presenter_);
}

bool RecordedDataParser::ReadHeader(QString& buffer) {
    Document& d = document_;
    int tabs = 0;
    QString fields = TakeLine(buffer, tabs);
    if (tabs != 3) {
        Fail(false);
        return false;
    }
    const QString name = TakeField(fields);
    const QString start = TakeField(fields);
    const QString count = TakeField(fields).trimmed();
    const QString interval = TakeField(fields);
    d.Title = CleanInstrumentText(name);
    d.Info.Caption = SafeFileNameText(name);
    // "." or nothing: the file has no start time. An unreadable start is
    // passed over too; the first point's time replaces it at the end.
    if (start != QStringLiteral(".") && !start.isEmpty()) {
        if (const std::optional<QDateTime> time = GetCDate(start)) {
            d.StartTime = ToOleDate(*time);
            d.Info.Start = FormatDateTimeLocal(*time);
        }
    }
    d.Info.Points = count;
    expectedPoints_ = count.toInt();
    d.ClearPoints();
    d.IntervalUnit = static_cast<qint16>(LeadingDecimal(interval.left(2)));
    d.IntervalValue = HexToInt(interval.right(2));
    d.NotifyInformationChanged();
    return true;
}

bool RecordedDataParser::ReadColumns(QString& buffer, int& tabCount) {
    Document& d = document_;
    QString names = TakeLine(buffer, tabCount);
    // A real-time names line has a first field of its own above the time
    // column; it is dropped so the line has the form of a downloaded one.
    if (d.bRealTime) names = names.mid(names.indexOf(u'\t'));
    // A document holds 1 to 8 quantities; another count is no reply of a TR58.
    if (tabCount < 1 || tabCount > kMaxQuantities) {
        Fail(false);
        return false;
    }
    d.SetQuantityCount(tabCount);
    d.Property(names);
    tabCount = -1;  // a missing units line must not pass for one
    const QString units = TakeLine(buffer, tabCount);
    if (tabCount != d.QuantityCount()) {
        Fail(false);
        return false;
    }
    d.Unit(units);
    if (expectedPoints_ > 0) d.ReservePoints(std::min(expectedPoints_, kMaxPoints));
    return true;
}

void RecordedDataParser::ReportProgress() {
    if (state_.LineTotal == 0) state_.LineTotal = 1;
    state_.LineCount += 1;
    // Rounded half to even, as the program's Round does.
    const double percent =
        std::nearbyint(static_cast<double>(state_.LineCount) / state_.LineTotal * 100.0);
    if (percent > 100 || !progress_ || !progress_->IsLoaded()) return;
    if (document_.bRealTime)
        progress_->SetValue(static_cast<int>(percent));
    else
        progress_->SetRowValue(state_.LineCount);
}

void RecordedDataParser::ReadBuffer(QString& buffer) {
    Document& d = document_;
    const bool realTime = d.bRealTime;
    failed_ = false;
    expectedPoints_ = 0;

    if (buffer.isEmpty() || buffer == QStringLiteral(" ") || buffer.back() != QChar(kCtrlZ)) {
        Fail(true);
        return;
    }
    // A real-time reply may start with the CTRL-Z of the exchange before.
    if (realTime && buffer.size() >= 3 && buffer.front() == QChar(kCtrlZ)) buffer.remove(0, 1);

    // One TAB count for the whole reply, as the line reader leaves it alone
    // for text without a line end.
    int tabs = 0;
    if (!realTime && !ReadHeader(buffer)) return;
    if (d.HeaderPending && !ReadColumns(buffer, tabs)) return;
    state_.LineCount += 3;

    const int quantities = d.QuantityCount();
    const QChar* data = buffer.constData();
    const qsizetype size = buffer.size();
    qsizetype pos = 0;
    bool failed = false;
    bool pointFailed = false;  // the failed line had added a point
    bool stopped = false;
    while (pos < size) {
        // A download whose file holds no point: the end mark follows the units.
        if (!realTime && size - pos == 1 && data[pos] == QChar(kCtrlZ)) {
            pos = size;
            break;
        }
        if (host_) {
            host_->Yield();
            if (d.bExit) {  // the window is closing: stop at once
                stopped = true;
                break;
            }
        }
        ReportProgress();

        // The next line, up to and including its CR LF, counting its TABs.
        qsizetype end = pos;
        int lineTabs = 0;
        bool lineEnd = false;
        for (; end + 1 < size; ++end) {
            const char16_t c = data[end].unicode();
            if (c == u'\t') {
                ++lineTabs;
            } else if (c == u'\r' && data[end + 1] == u'\n') {
                lineEnd = true;
                break;
            }
        }
        QStringView line;
        if (lineEnd) {
            line = QStringView(data + pos, end + 2 - pos);
            pos = end + 2;
            tabs = lineTabs;
        } else {
            pos = size;  // text without a line end: an empty line, the count unchanged
        }
        // One TAB just before the line end is tolerated.
        if (line.size() > 3 && line[line.size() - 3] == u'\t') --tabs;

        if (tabs != quantities) {
            if (realTime && line.isEmpty()) {
                stopped = true;
                break;
            }
            failed = true;
            break;
        }
        if (d.PointCount() >= kMaxPoints) {
            pos = size;
            d.Info.Points = QString::number(kMaxPoints);
            break;
        }
        if (!d.MeasToStruct(line)) {
            failed = true;
            pointFailed = true;
            break;
        }
        if (size - pos == 1 && data[pos] == QChar(kCtrlZ)) pos = size;
    }
    if (pos >= size)
        buffer = QString();
    else
        buffer.remove(0, pos);

    if (d.HeaderPending && realTime && progress_) progress_->Unload();
    if (failed) {
        failed_ = true;
        state_.MessageKey = MessageKeys::kCommunicationErrors;
        if (presenter_) ShowMessage(state_.MessageKey, context_, *presenter_);
        if (realTime) {
            // Only the point of the failed line is taken back; a line refused
            // for its TAB count added none, and the point before it was good.
            if (pointFailed)
                d.RemoveLastPoint();
            else if (d.PointCount() == 0)
                state_.CommandFailed = true;
            if (host_) host_->StopReal();
        } else {
            state_.CommandFailed = true;
        }
        return;
    }
    if (stopped) return;

    UpdateFilledInformation(d, realTime);
    ComputeStatistics(d, host_);
    if (d.bExit) return;
    d.HeaderPending = false;
    if (host_) {
        host_->SetDocumentCommands(true);
        if (realTime && d.PointCount() == kMaxPoints) host_->StopRealTime(true);
    }
}
