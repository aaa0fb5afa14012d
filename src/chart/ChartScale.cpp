#include "chart/ChartScale.h"

#include <algorithm>
#include <cmath>

#include "base/TextHelpers.h"
#include "document/Document.h"

namespace {

constexpr double kPowersOfTen[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7};

double UnitsPerValue(int decimals) {
    return kPowersOfTen[std::clamp(decimals, 0, 7)];
}

// Whole multiples of step (in units) from lowUnits to highUnits, as values.
QList<double> Multiples(double lowUnits, double highUnits, double step, double perValue) {
    QList<double> values;
    if (!(step > 0.0) || !(highUnits >= lowUnits)) return values;
    // A small tolerance keeps a bound that is a multiple up to rounding.
    const double first = std::ceil(lowUnits / step - 1e-9);
    const double last = std::floor(highUnits / step + 1e-9);
    for (double k = first; k <= last && values.size() < 1000; k += 1.0) {
        values.append(k * step / perValue);
    }
    return values;
}

}  // namespace

int AxisDecimals(const QuantityInfo& quantity) {
    return quantity.Decimals < 0 ? 2 : std::min<int>(quantity.Decimals, 7);
}

ValueRange QuantityValueRange(const Document& document, int q) {
    const QuantityInfo& quantity = document.Quantity(q);
    ValueRange range{document.GetScaleValue(false, q), document.GetScaleValue(true, q)};
    if (quantity.AutoScale) {
        // The statistics are the whole document's extremes once computed; the
        // real-time window adds points long before it computes them again,
        // so there the points themselves are searched.
        if (document.bShowAll && quantity.StatsValid == 1 && !document.bRealTime) {
            range = {quantity.Minimum, quantity.Maximum};
        } else {
            const qint32 first = std::max(document.FirstPoint, 1);
            const qint32 last = std::min(document.LastPoint, document.PointCount());
            bool any = false;
            float low = 0.0f;
            float high = 0.0f;
            for (qint32 k = first; k <= last; ++k) {
                const PointValue value = document.Value(k - 1, q);
                if (!value.Valid) continue;
                if (!any || value.Value < low) low = value.Value;
                if (!any || value.Value > high) high = value.Value;
                any = true;
            }
            if (any) range = {low, high};
        }
    }
    if (!std::isfinite(range.lower)) range.lower = 0.0;
    if (!std::isfinite(range.upper)) range.upper = range.lower;
    if (range.lower > range.upper) std::swap(range.lower, range.upper);
    if (range.lower == range.upper) range.upper += 1.0 / UnitsPerValue(AxisDecimals(quantity));
    return range;
}

AxisScale ComputeAxisScale(ValueRange range, int decimals, bool autoScale) {
    AxisScale scale;
    scale.decimals = std::clamp(decimals, 0, 7);
    const double perValue = UnitsPerValue(scale.decimals);
    const double lowUnits = std::round(range.lower * perValue);
    double highUnits = std::round(range.upper * perValue);
    if (highUnits <= lowUnits) highUnits = lowUnits + 1.0;

    double base = autoScale ? 100.0 : 10.0;
    double lower = lowUnits;
    double upper = highUnits;
    double major = base;
    double minor = base / 5.0;
    // Each pass multiplies the base by ten; 20 passes cover any float.
    for (int pass = 0; pass < 20; ++pass, base *= 10.0) {
        if (autoScale) {
            lower = std::floor(lowUnits / base) * base;
            upper = std::ceil(highUnits / base) * base;
            if (upper <= lower) upper = lower + base;
        }
        const double steps[3][2] = {
            {base / 5.0, base / 20.0}, {base / 2.0, base / 10.0}, {base, base / 5.0}};
        bool fits = false;
        for (const auto& step : steps) {
            if ((upper - lower) / step[0] + 1.0 <= kMaxAxisLabels) {
                major = step[0];
                minor = step[1];
                fits = true;
                break;
            }
        }
        if (fits) break;
    }
    scale.base = base / perValue;
    scale.lower = lower / perValue;
    scale.upper = upper / perValue;
    scale.major = major / perValue;
    scale.minor = minor / perValue;
    return scale;
}

QList<double> AxisScale::MajorTicks() const {
    const double perValue = UnitsPerValue(decimals);
    return Multiples(lower * perValue, upper * perValue, major * perValue, perValue);
}

QList<double> AxisScale::MinorTicks() const {
    const double perValue = UnitsPerValue(decimals);
    const double ratio = major / minor;
    QList<double> ticks;
    const QList<double> all =
        Multiples(lower * perValue, upper * perValue, minor * perValue, perValue);
    for (double value : all) {
        const double index = std::round(value / minor);
        if (std::fmod(std::fabs(index), std::round(ratio)) != 0.0) ticks.append(value);
    }
    return ticks;
}

QString AxisLabel(double value, int decimals) {
    return FormatDecimals(value, decimals);
}
