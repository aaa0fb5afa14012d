// Fuzz target: the instrument's time stamps. The input holds a few stamps separated by NUL bytes
// (each a data line's first field, as the parsers hand it over; inputs are kept to 256 bytes, as
// more stamps only repeat the work). The readers must agree: the line reader with its date cache
// and the plain reading, the fast OLE-date reading and the QDateTime reading; and a stamp read
// and written back as a .t58 time reads as the same time. The range times of tr58 download
// (ReadWallClockText) read back as they are written.

#include <QDateTime>
#include <cmath>

#include "QtFuzz.h"
#include "document/PointTime.h"
#include "download/TimeStamp.h"

using fuzz::Check;

namespace {

// Days from 1899-12-30 as an OLE date, for a time that is a wall-clock time (UTC-kept).
double OleOf(const QDateTime& time) {
    static const QDate kEpoch(1899, 12, 30);
    const qint64 days = kEpoch.daysTo(time.date());
    return static_cast<double>(days) + time.time().msecsSinceStartOfDay() / 86400000.0;
}

void CheckStamp(const QString& text, StampReader& reader) {
    const std::optional<double> cached = reader.Read(text);
    const bool form = IsTimeStampText(text);
    const std::optional<double> plain = StampOleDate(text);
    if (!form) {
        Check(!cached.has_value());
    } else {
        Check(cached.has_value() == plain.has_value());
        if (cached) Check(*cached == *plain);
    }
    if (!plain) return;
    Check(IsCDate(text));
    const std::optional<QDateTime> time = GetCDate(text);
    Check(time.has_value() && time->isValid());
    Check(std::fabs(OleOf(*time) - *plain) < 1e-6);

    // Written as a .t58 time and read back: the same point in time, to the second.
    QByteArray written;
    AppendT58Time(written, *plain);
    Check(written.size() == 17);
    T58TimeWriter writer;
    char line[32];
    char* end = writer.Write(line, *plain);
    Check(QByteArray(line, end - line) == written);
    const std::optional<double> again = StampOleDate(QString::fromLatin1(written));
    Check(again.has_value() && std::fabs(*again - *plain) < 1e-6);
    (void)FullTimeText(*plain);
    const DateTimeParts parts = SplitOleDate(*plain);
    Check(parts.month >= 1 && parts.month <= 12 && parts.day >= 1 && parts.day <= 31);
    Check(parts.hour >= 0 && parts.hour < 24 && parts.minute >= 0 && parts.minute < 60);
    Check(parts.second >= 0 && parts.second < 60 && parts.msec >= 0 && parts.msec < 1000);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = fuzz::Bytes(data, size).split('\0');
    StampReader reader;
    for (const QByteArray& part : parts) {
        const QString text = QString::fromLatin1(part);
        CheckStamp(text, reader);
        const std::optional<QDateTime> range = ReadWallClockText(text);
        if (range) {
            Check(range->isValid());
            const std::optional<QDateTime> back = ReadWallClockText(WallClockText(*range));
            Check(back.has_value() && *back == *range);
        }
    }
    return 0;
}
