#pragma once
// The axis dialog's rules, without its window: reading and stepping the
// bound and point boxes, finding the first box whose text cannot be taken,
// and applying what the user entered to the document and its chart.

#include <QList>
#include <QString>
#include <optional>

class ChartNavigator;
class Document;

// A bound as typed: a number with the user's decimal separator or ".", blanks
// around it allowed. Nothing for anything else.
std::optional<double> ParseBoundText(const QString& text);
// A point number as typed: a whole number. Nothing for anything else.
std::optional<qint32> ParsePointText(const QString& text);

// A bound as its box shows it: the quantity's decimals (2 while unknown), the
// user's decimal separator.
QString BoundText(double value, int decimals);

// One press of a bound's up-down buttons: ten units of the last decimal up or
// down, held within -99999 and 999999.
double StepBound(double value, int decimals, bool up);
// The same on a box's text; nothing when the text is no number (the box is
// left as it is).
std::optional<QString> StepBoundText(const QString& text, int decimals, bool up);
// One press of a point's up-down buttons: one point, within 1 and count.
qint32 StepPoint(qint32 point, qint32 count, bool up);

// What the dialog's boxes hold: one row per quantity on the chart, and the
// two point boxes.
struct AxisRowEntry {
    int quantity = 0;
    bool autoScale = true;
    QString upper;
    QString lower;
};
struct AxisEntries {
    QList<AxisRowEntry> rows;
    QString firstPoint;
    QString lastPoint;
};

enum class AxisBox { Upper, Lower, FirstPoint, LastPoint };
struct AxisBoxRef {
    AxisBox box = AxisBox::Upper;
    int row = 0;  // for the bound boxes

    bool operator==(const AxisBoxRef&) const = default;
};

// The first box, in the dialog's order (each row's upper and lower bound, then
// the first and the last point), whose text cannot be taken: a bound of a row
// that is not automatic must be a number within -99999 and 999999, a point a
// whole number within 1 and pointCount. Nothing when all can be taken.
std::optional<AxisBoxRef> FirstRefusedBox(const AxisEntries& entries, qint32 pointCount);

// Applies entries that FirstRefusedBox accepts: each row's automatic flag and,
// when it is not automatic, its bounds (rounded to the quantity's decimals);
// then the point range through the chart's SetPoints (which corrects a first
// point above the last).
void ApplyAxisEntries(const AxisEntries& entries, Document& document, ChartNavigator& navigator);
