#include "link/CommunicationProgress.h"

#include <numeric>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/UserLocale.h"

namespace {
// A download may hold more lines than this; the bar scales as if it held this many.
constexpr qint32 kMaxRows = 65000;

// A file's share of the bar: each point once on receipt and once when parsed,
// and the header lines.
qint32 Share(qint32 points) {
    return std::clamp(points, 0, kMaxRows) * 2 + 6;
}

QString Number(qint32 n) {
    return UserLocale::Locale().toString(n);
}
}  // namespace

void CommunicationProgress::Load() {
    loaded_ = true;
    visible_ = true;
    maximum_ = 100;
    value_ = 0;
    fileCount_ = 0;
    currentFile_ = 0;
    rowTotal_ = 0;
    shares_.clear();
    filePoints_ = 0;
    pointsNow_ = 0;
    waiting_ = false;
    waitSeconds_ = 0;
    Changed();
}

void CommunicationProgress::Unload() {
    loaded_ = false;
    visible_ = false;
    Changed();
}

void CommunicationProgress::Hide() {
    visible_ = false;
    Changed();
}

void CommunicationProgress::Show() {
    visible_ = loaded_;
    Changed();
}

void CommunicationProgress::SetMaximum(double maximum) {
    maximum_ = maximum;
    if (value_ > maximum_) value_ = maximum_;
    Changed();
}

void CommunicationProgress::SetValue(int n) {
    if (maximum_ < n) maximum_ = n;
    value_ = n;
    Changed();
}

void CommunicationProgress::SetMsg(const QString& text) {
    message_ = text;
    Changed();
}

void CommunicationProgress::SetFileCount(int n) {
    if (n <= 0) return;
    fileCount_ = n;
    maximum_ = n * 100.0;
    Changed();
}

void CommunicationProgress::SetFilePlan(const QList<qint32>& points) {
    if (points.isEmpty()) return;
    fileCount_ = static_cast<int>(points.size());
    shares_.clear();
    for (const qint32 p : points) shares_ << Share(p);
    maximum_ = std::accumulate(shares_.cbegin(), shares_.cend(), 0.0);
    Changed();
}

void CommunicationProgress::SetFileNow(int n) {
    if (n > 0 && n <= fileCount_) {
        currentFile_ = n;
        pointsNow_ = 0;
        filePoints_ = n <= shares_.size() ? (shares_.at(n - 1) - 6) / 2 : 0;
        Changed();
    }
}

void CommunicationProgress::SetFileRows(qint32 rows) {
    if (rows > kMaxRows) rows = kMaxRows;
    if (rows <= 0) return;
    rowTotal_ = rows * 2 + 6;
    filePoints_ = rows;
    // The header knows better than the estimate: the file's share follows it.
    if (currentFile_ >= 1 && currentFile_ <= shares_.size()) {
        maximum_ += rowTotal_ - shares_.at(currentFile_ - 1);
        shares_[currentFile_ - 1] = rowTotal_;
    }
    Changed();
}

void CommunicationProgress::SetPointsReceived(qint32 points) {
    if (points == pointsNow_) return;
    pointsNow_ = points;
    Changed();
}

void CommunicationProgress::SetRowValue(qint32 row) {
    if (row <= 1 || row > rowTotal_ || currentFile_ < 1) return;
    double v;
    if (currentFile_ <= shares_.size()) {
        const double before =
            std::accumulate(shares_.cbegin(), shares_.cbegin() + (currentFile_ - 1), 0.0);
        // A file never takes more than its share: the next file's is its own.
        v = before + std::min<double>(row, shares_.at(currentFile_ - 1));
    } else {
        v = (currentFile_ - 1) * 100.0 + static_cast<double>(row) / rowTotal_ * 100.0;
    }
    if (value_ < v) {
        value_ = v;
        Changed();
    }
}

void CommunicationProgress::BeginWait() {
    if (waiting_) return;
    waiting_ = true;
    waitSeconds_ = 0;
    Changed();
}

void CommunicationProgress::SetWaitElapsed(double seconds) {
    const int whole = static_cast<int>(seconds);
    if (!waiting_ || whole == waitSeconds_) return;
    waitSeconds_ = whole;
    Changed();
}

void CommunicationProgress::EndWait() {
    if (!waiting_) return;
    waiting_ = false;
    waitSeconds_ = 0;
    Changed();
}

QString CommunicationProgress::DetailText() const {
    QStringList parts;
    if (fileCount_ >= 1 && currentFile_ >= 1)
        parts << StringTable::Text(Str::kProgressFileOf)
                     .arg(Number(currentFile_), Number(fileCount_));
    if (ShowsWaiting())
        parts << StringTable::Text(Str::kProgressWaiting).arg(Number(waitSeconds_));
    else if (currentFile_ >= 1 && filePoints_ > 0)
        parts << StringTable::Text(Str::kProgressPointsOf)
                     .arg(Number(std::min(pointsNow_, filePoints_)), Number(filePoints_));
    else if (currentFile_ >= 1 && pointsNow_ > 0)
        parts << StringTable::Text(Str::kProgressPoints).arg(Number(pointsNow_));
    return parts.join(QStringLiteral(" \u2013 "));
}
