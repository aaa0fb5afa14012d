#pragma once
// What the chart's layout needs to know of its font and its picture: text
// widths, the height of a line of text (what measuring the letter "H" gives)
// and how many picture units make one screen pixel. The layout is computed
// against this interface, so it is worked out and tested without a screen;
// FontChartMetrics answers from a real font on a real paint device.

#include <QFontMetricsF>
#include <QString>

class QFont;
class QPaintDevice;

class ChartMetrics {
public:
    virtual ~ChartMetrics() = default;
    virtual double TextWidth(const QString& text) const = 0;
    // The height of a line of text: the "H" the bottom margin is measured in.
    virtual double TextHeight() const = 0;
    // Picture units per screen pixel: 1 on the screen and in images, the
    // device's resolution over 96 dpi on a printer. Tick lengths, the top
    // margin and the pen widths are multiplied by it.
    virtual double Unit() const = 0;
};

class FontChartMetrics : public ChartMetrics {
public:
    // device may be null: screen resolution.
    FontChartMetrics(const QFont& font, QPaintDevice* device);
    double TextWidth(const QString& text) const override;
    double TextHeight() const override;
    double Unit() const override { return unit_; }
    const QFontMetricsF& FontMetrics() const { return metrics_; }

private:
    QFontMetricsF metrics_;
    double unit_ = 1.0;
};
