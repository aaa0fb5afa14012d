#include "chart/ChartMetrics.h"

#include <QPaintDevice>
#include <algorithm>

namespace {

QFontMetricsF MetricsFor(const QFont& font, QPaintDevice* device) {
    return device ? QFontMetricsF(font, device) : QFontMetricsF(font);
}

}  // namespace

FontChartMetrics::FontChartMetrics(const QFont& font, QPaintDevice* device)
    : metrics_(MetricsFor(font, device)) {
    if (device && device->logicalDpiY() > 0) unit_ = std::max(1.0, device->logicalDpiY() / 96.0);
}

double FontChartMetrics::TextWidth(const QString& text) const {
    return metrics_.horizontalAdvance(text);
}

double FontChartMetrics::TextHeight() const {
    return metrics_.height();
}
