#include "download/DownloadProgressBar.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kNameField = 24;  // names up to this long line up from file to file
constexpr int kShortestBar = 10;
constexpr int kLongestBar = 50;
constexpr int kTimeField = 10;  // "--:-- left", "12:34 left"
constexpr qint64 kLongestClock = 99 * 3600 + 59 * 60 + 59;

// text in at most width characters, an ellipsis where it was cut.
QString Cut(const QString& text, int width) {
    if (width <= 0) return {};
    if (text.size() <= width) return text;
    return text.left(width - 1) + QChar(0x2026);
}

QString Bar(int width, qint32 done, qint32 total) {
    const int filled =
        done >= total ? width : static_cast<int>(static_cast<double>(done) * width / total);
    if (filled >= width) return QString(width, QLatin1Char('='));
    return QString(filled, QLatin1Char('=')) + QLatin1Char('>') +
           QString(width - filled - 1, QLatin1Char(' '));
}

// The time left at the speed so far, or the time taken once all is there.
QString TimeText(qint32 done, qint32 total, double elapsed) {
    if (done >= total) return QStringLiteral("in ") + DownloadClockText(std::llround(elapsed));
    if (done <= 0 || elapsed <= 0) return QStringLiteral("--:-- left");
    const double left = std::ceil(static_cast<double>(total - done) * elapsed / done);
    return DownloadClockText(left > kLongestClock ? kLongestClock : static_cast<qint64>(left)) +
           QStringLiteral(" left");
}

}  // namespace

QString DownloadClockText(qint64 seconds) {
    seconds = std::clamp<qint64>(seconds, 0, kLongestClock);
    const qint64 hours = seconds / 3600;
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2")
            .arg(seconds / 60 % 60, hours > 0 ? 2 : 1, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return hours > 0 ? QStringLiteral("%1:%2").arg(hours).arg(minutesAndSeconds)
                     : minutesAndSeconds;
}

QString DownloadProgressBarText(int width, const QString& name, qint32 done, qint32 total,
                                double elapsedSeconds) {
    width = std::max(width, 1);
    done = std::max(done, 0);
    const double elapsed = std::isfinite(elapsedSeconds) ? std::max(elapsedSeconds, 0.0) : 0.0;
    const QString gap = QStringLiteral("  ");
    if (total <= 0) {
        // The file's size is not known (yet): the points alone.
        const QString points = QStringLiteral("%1 points").arg(done);
        return Cut(Cut(name, width - points.size() - gap.size()) + gap + points, width);
    }
    total = std::max(total, done);

    const QString totalText = QString::number(total);
    const QString counts = QStringLiteral("%1/%2").arg(done, totalText.size()).arg(totalText);
    const QString percent =
        QStringLiteral("%1%").arg(static_cast<int>(static_cast<qint64>(done) * 100 / total), 3);
    const QString time = TimeText(done, total, elapsed).rightJustified(kTimeField);
    const QString numbers = percent + gap + time;

    // Name, counts, bar, percent and time, the name in a field of its own.
    const int nameField = std::clamp(width / 3, 1, kNameField);
    const int withBar =
        nameField + 2 + static_cast<int>(counts.size()) + 4 + static_cast<int>(numbers.size());
    const int barWidth = std::min(width - withBar, kLongestBar);
    if (barWidth >= kShortestBar) {
        return Cut(name, nameField).leftJustified(nameField) + gap + counts + QStringLiteral(" [") +
               Bar(barWidth, done, total) + QStringLiteral("] ") + numbers;
    }
    // Too narrow for a bar: the numbers, the name in what is left.
    const QString tail = gap + counts + gap + numbers;
    const int nameRoom = width - static_cast<int>(tail.size());
    if (nameRoom >= 1) return Cut(name, nameRoom) + tail;
    return Cut(Cut(name, std::max(width / 3, 1)) + gap + counts, width);
}
