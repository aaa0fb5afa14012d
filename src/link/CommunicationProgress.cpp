#include "link/CommunicationProgress.h"

namespace {
// A download may hold more lines than this; the bar scales as if it held this many.
constexpr qint32 kMaxRows = 65000;
}  // namespace

void CommunicationProgress::Load() {
    loaded_ = true;
    visible_ = true;
    maximum_ = 100;
    value_ = 0;
    fileCount_ = 0;
    currentFile_ = 0;
    rowTotal_ = 0;
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

void CommunicationProgress::SetFileNow(int n) {
    if (n > 0 && n <= fileCount_) currentFile_ = n;
}

void CommunicationProgress::SetFileRows(qint32 rows) {
    if (rows > kMaxRows) rows = kMaxRows;
    if (rows > 0) rowTotal_ = rows * 2 + 6;
}

void CommunicationProgress::SetRowValue(qint32 row) {
    if (row <= 1 || row > rowTotal_ || currentFile_ < 1) return;
    const double v = (currentFile_ - 1) * 100.0 + static_cast<double>(row) / rowTotal_ * 100.0;
    if (value_ < v) {
        value_ = v;
        Changed();
    }
}
