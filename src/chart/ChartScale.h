#pragma once
// The vertical scale of a quantity on the chart: which values its axis has to
// show, the bounds rounded outward to whole multiples of the scale base, and
// labelled (major) and unlabelled (minor) ticks in a 1-2-5 sequence with never
// more than nine labels.
//
// Everything is worked out in whole units of the quantity's last shown decimal
// (10^-decimals), so 20.3 is 203 tenths and no binary fraction creeps into the
// bounds or the labels.

#include <QList>
#include <QString>

class Document;
struct QuantityInfo;

// The most labelled ticks on a vertical axis.
constexpr int kMaxAxisLabels = 9;

// The decimals a quantity's axis is worked out and labelled with: its
// Decimals, or 2 while they are not known yet; never more than 7.
int AxisDecimals(const QuantityInfo& quantity);

// The values the axis of quantity q has to show, before any rounding:
// - all points shown with automatic scaling: the quantity's minimum and maximum
//   (searched in the points while the statistics are not computed, and in
//   the real-time window, whose statistics lag behind its points);
// - automatic scaling of a part: the smallest and largest valid value among
//   the points shown (the stored scale when none of them is valid);
// - no automatic scaling: the stored LowerScale and UpperScale (exchanged when
//   the lower is above the upper, which the axis dialog lets through).
// When lower and upper are equal, upper is raised by one unit of the last
// decimal, so every axis has a height.
struct ValueRange {
    double lower = 0.0;
    double upper = 0.0;
};
ValueRange QuantityValueRange(const Document& document, int q);

struct AxisScale {
    int decimals = 0;
    double base = 0.0;   // the step unit the ticks derive from
    double lower = 0.0;  // the drawn bounds
    double upper = 0.0;
    double major = 0.0;  // distance between labelled ticks
    double minor = 0.0;  // distance between unlabelled ticks

    // Values of the labelled ticks: the whole multiples of the major step
    // between the bounds, from the bottom up.
    QList<double> MajorTicks() const;
    // Values of the unlabelled ticks (those that are not also labelled).
    QList<double> MinorTicks() const;
};

// The scale for a range. With automatic scaling the bounds are rounded
// outward to whole multiples of the base (which starts at 100 units of the
// last decimal and grows tenfold until a step fits); the major step is the
// first of base/5, base/2 and base that gives at most nine labels, with the
// minor steps base/20, base/10 and base/5.
//
// Bounds the user set (no automatic scaling) are kept as they are; their base
// starts at 10 units instead, so that a narrow zoom still gets labels (with
// 100 units a range of a few units would show one label or none).
AxisScale ComputeAxisScale(ValueRange range, int decimals, bool autoScale);

// A tick label: the value with the axis' decimals and the user's decimal
// separator.
QString AxisLabel(double value, int decimals);
