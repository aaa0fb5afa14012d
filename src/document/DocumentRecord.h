#pragma once
// The plain records a document is made of: one QuantityInfo per measured
// quantity (a column of the instrument's data), and per reading a DataPoint of
// PointValues. Date-times are OLE dates: days since 1899-12-30, the fraction
// the time of day.

#include <QList>
#include <QString>
#include <vector>

// The most readings a document holds: a download and the real-time window stop
// there.
constexpr qint32 kMaxPoints = 65000;
// The most quantities a probe delivers (data columns of a document).
constexpr int kMaxQuantities = 8;

// The logging interval's unit codes, as the instrument sends them.
namespace IntervalUnitCode {
constexpr qint16 kSeconds = 2;
constexpr qint16 kMinutes = 4;
constexpr qint16 kHours = 8;
constexpr qint16 kDays = 10;
constexpr qint16 kMonths = 20;
constexpr qint16 kYears = 40;
}  // namespace IntervalUnitCode

struct QuantityInfo {
    // Names and units are fixed-width fields: longer texts are cut.
    static constexpr int kNameLength = 9;
    static constexpr int kUnitLength = 8;

    QString Name;          // as the instrument reports it, at most 9 characters
    QString Unit;          // at most 8 characters
    qint16 Decimals = -1;  // -1: not known until the first valid value is read
    float Maximum = 0.0f;
    float Minimum = 0.0f;
    float Mean = 0.0f;
    bool AutoScale = false;  // the chart scales this quantity by itself
    qint16 StatsValid = 0;   // 1 once Maximum, Minimum and Mean come from the data
};

struct PointValue {
    float Value = 0.0f;
    qint16 Valid = 0;  // 1: a reading; 0: the instrument had none ("-" in files)
};

// One reading of every quantity. The document stores points column-free in
// flat arrays; a DataPoint is a copy made on request.
struct DataPoint {
    double Time = 0.0;
    QList<PointValue> Values;
};

// Points in the document's own layout, for a parser to fill and a document to
// take over whole (Document::AppendPoints): per point a time, and per point
// and quantity a value and its validity, point after point.
struct PointArrays {
    std::vector<double> Times;
    std::vector<float> Values;  // Times.size() x the quantity count
    std::vector<quint8> Valid;  // 1: a reading; 0: none (the value is 0)
};
