#include "document/Document.h"

#include <algorithm>
#include <cmath>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "document/DocumentObserver.h"
#include "document/DocumentTexts.h"
#include "document/PointTime.h"

Document::Document() {
    Info.RecordingKind = StringTable::Text(Str::kAutomaticallyRecorded);
}

void Document::SetQuantityCount(int count) {
    count = std::clamp(count, 0, kMaxQuantities);
    quantities_ = QList<QuantityInfo>(count);
    lowerScale_ = QList<float>(count, 0.0f);
    upperScale_ = QList<float>(count, 0.0f);
    charted_ = QList<bool>(count, false);
    ClearPoints();
    stride_ = static_cast<size_t>(count);
    NotifyQuantitiesChanged();
}

DataPoint Document::Point(qint32 i) const {
    DataPoint point;
    point.Time = PointTime(i);
    point.Values.reserve(QuantityCount());
    for (int q = 0; q < QuantityCount(); ++q) point.Values.append(Value(i, q));
    return point;
}

qint32 Document::AppendPoint(double time) {
    times_.push_back(time);
    values_.resize(values_.size() + stride_, 0.0f);
    valid_.resize(valid_.size() + stride_, 0);
    return PointCount() - 1;
}

void Document::AppendPoints(PointArrays&& points) {
    const qint32 first = PointCount();
    const auto count = static_cast<qint32>(points.Times.size());
    if (count == 0) return;
    if (times_.empty()) {
        times_ = std::move(points.Times);
        values_ = std::move(points.Values);
        valid_ = std::move(points.Valid);
    } else {
        times_.insert(times_.end(), points.Times.cbegin(), points.Times.cend());
        values_.insert(values_.end(), points.Values.cbegin(), points.Values.cend());
        valid_.insert(valid_.end(), points.Valid.cbegin(), points.Valid.cend());
    }
    if (iSaved == Saved::kUnchanged) iSaved = Saved::kChanged;
    NotifyPointsAdded(first, count);
}

void Document::RemoveLastPoint() {
    if (times_.empty()) return;
    times_.pop_back();
    values_.resize(values_.size() - stride_);
    valid_.resize(valid_.size() - stride_);
    const qint32 n = PointCount();
    for (DocumentObserver* observer : std::as_const(observers_))
        observer->PointsRemoved(*this, n, 1);
}

void Document::ClearPoints() {
    const qint32 n = PointCount();
    times_ = {};
    values_ = {};
    valid_ = {};
    if (n > 0) {
        for (DocumentObserver* observer : std::as_const(observers_))
            observer->PointsRemoved(*this, 0, n);
    }
}

void Document::ReservePoints(qint32 n) {
    if (n <= 0) return;
    const size_t points = static_cast<size_t>(n);
    times_.reserve(points);
    values_.reserve(points * stride_);
    valid_.reserve(points * stride_);
}

size_t Document::PointStorageBytes() const {
    return times_.capacity() * sizeof(double) + values_.capacity() * sizeof(float) +
           valid_.capacity() * sizeof(quint8);
}

bool Document::GetQuantit(QList<qint16>& quantities) const {
    quantities.clear();
    for (qint16 q = 0; q < QuantityCount(); ++q) quantities.append(q);
    return !quantities.isEmpty();
}

float Document::GetScaleValue(bool upper, int q) const {
    return upper ? upperScale_.at(q) : lowerScale_.at(q);
}

float Document::ClampScale(bool upper, float value) {
    if (upper) return value >= kHighestScale ? kHighestScale : value;
    return value <= kLowestScale ? kLowestScale : value;
}

void Document::SetScaleValue(bool upper, int q, float value) {
    const float rounded = CutDecimal(value, q);
    const bool beyond = upper ? rounded >= kHighestScale : rounded <= kLowestScale;
    (upper ? upperScale_ : lowerScale_)[q] = beyond ? ClampScale(upper, rounded) : rounded;
    // A bound at the limit is the full scale; any other bound zooms the chart.
    if (!beyond) bZoomOut = true;
    NotifyViewChanged();
}

void Document::SetAutoScale(int q, bool on) {
    quantities_[q].AutoScale = on;
    NotifyViewChanged();
}

qint16 Document::GetTimes(double& start, double& stop) const {
    start = StartTime;
    stop = StopTime;
    return static_cast<qint16>(IntervalValue);
}

QString Document::strGetTime(qint32 i) const {
    return FullTimeText(PointTime(i));
}

qint32 Document::GetDatePoint(double date) const {
    const qint32 n = PointCount();
    if (n == 0 || date < times_.front()) return 0;
    // Points keep the order received, so the first one not earlier is searched
    // for, not bisected.
    for (qint32 i = 0; i < n; ++i) {
        if (!(times_[static_cast<size_t>(i)] < date)) return i + 1;
    }
    return n + 1;
}

void Document::GetPoints(qint32& first, qint32& last, qint32& count) const {
    first = FirstPoint;
    last = LastPoint;
    count = PointCount();
}

void Document::SetPoints(qint32 first, qint32 last) {
    FirstPoint = first;
    LastPoint = last;
    NotifyViewChanged();
}

void Document::ShowAll() {
    for (int q = 0; q < QuantityCount(); ++q) {
        lowerScale_[q] = ClampScale(false, quantities_.at(q).Minimum);
        upperScale_[q] = ClampScale(true, quantities_.at(q).Maximum);
    }
    FirstPoint = 1;
    LastPoint = PointCount();
    bZoomOut = false;
    bShowAll = true;
    NotifyViewChanged();
}

void Document::SetStopTime() {
    Info.Stop = FormatDateTimeLocal(FromOleDate(StopTime));
    NotifyInformationChanged();
}

float Document::CutDecimal(float value, int q) const {
    int decimals = quantities_.at(q).Decimals;
    // Unknown decimals (no reading of the quantity yet): nothing to round to.
    if (decimals < 0) return value;
    decimals = std::min(decimals, 7);
    static constexpr double kScale[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7};
    const double scale = kScale[decimals];
    // std::nearbyint rounds half to even in the default rounding mode.
    const double rounded = std::nearbyint(static_cast<double>(value) * scale) / scale;
    if (decimals == 0 || !std::isfinite(rounded)) return static_cast<float>(rounded);
    // Back through the decimal text, so the result is the single nearest the
    // rounded decimal number (and never depends on the locale).
    return PointDecimalText(rounded, decimals).toFloat();
}

bool Document::SetCharted(int q, bool on) {
    if (q < 0 || q >= charted_.size()) return false;
    if (on && !charted_.at(q) && ChartedCount() >= kMaxCharted) return false;
    charted_[q] = on;
    NotifyViewChanged();
    return true;
}

int Document::ChartedCount() const {
    return static_cast<int>(std::count(charted_.cbegin(), charted_.cend(), true));
}

void Document::EditTitle(const QString& title) {
    if (title == Title) return;
    Title = title;
    if (iSaved != Saved::kNever) iSaved = Saved::kChanged;
    NotifyInformationChanged();
}

void Document::EditNotes(const QString& notes) {
    if (notes == Notes) return;
    Notes = notes;
    if (iSaved != Saved::kNever) iSaved = Saved::kChanged;
    NotifyInformationChanged();
}

void Document::Property(QStringView line) {
    FieldCursor fields(WithoutLineEnd(line));
    fields.SkipLeadingTab();
    for (int q = 0; q < QuantityCount(); ++q) {
        quantities_[q].Name = QuantityNameText(fields.Next());
    }
    NotifyQuantitiesChanged();
}

void Document::Unit(QStringView line) {
    FieldCursor fields(WithoutLineEnd(line));
    fields.SkipLeadingTab();
    for (int q = 0; q < QuantityCount(); ++q) {
        quantities_[q].Unit = QuantityUnitText(fields.Next());
        quantities_[q].Decimals = -1;
    }
    NotifyQuantitiesChanged();
}

bool Document::MeasToStruct(QStringView line) {
    const qint32 n = AppendPoint(0.0);
    FieldCursor fields(WithoutLineEnd(line));
    const QStringView stamp = fields.Next();
    if (!IsTimeStampText(stamp)) return false;
    const std::optional<double> time = StampOleDate(stamp);
    if (!time) return false;
    times_[static_cast<size_t>(n)] = *time;
    if (iSaved == Saved::kUnchanged) iSaved = Saved::kChanged;

    const size_t base = static_cast<size_t>(n) * stride_;
    for (int q = 0; q < QuantityCount(); ++q) {
        const QStringView field = fields.Next();
        float value = 0.0f;
        if (ParseReading(field, value)) {
            values_[base + static_cast<size_t>(q)] = value;
            valid_[base + static_cast<size_t>(q)] = 1;
            QuantityInfo& quantity = quantities_[q];
            if (quantity.Decimals == -1) quantity.Decimals = GetDecimals(field);
        }
    }
    for (DocumentObserver* observer : std::as_const(observers_)) observer->PointsAdded(*this, n, 1);
    return true;
}

void Document::AddObserver(DocumentObserver* observer) {
    if (observer && !observers_.contains(observer)) observers_.append(observer);
}

void Document::RemoveObserver(DocumentObserver* observer) {
    observers_.removeAll(observer);
}

void Document::NotifyQuantitiesChanged() {
    for (DocumentObserver* observer : std::as_const(observers_)) observer->QuantitiesChanged(*this);
}

void Document::NotifyPointsAdded(qint32 first, qint32 count) {
    for (DocumentObserver* observer : std::as_const(observers_))
        observer->PointsAdded(*this, first, count);
}

void Document::NotifyInformationChanged() {
    for (DocumentObserver* observer : std::as_const(observers_))
        observer->InformationChanged(*this);
}

void Document::NotifyStatisticsChanged() {
    for (DocumentObserver* observer : std::as_const(observers_)) observer->StatisticsChanged(*this);
}

void Document::NotifyViewChanged() {
    for (DocumentObserver* observer : std::as_const(observers_)) observer->ViewChanged(*this);
}
