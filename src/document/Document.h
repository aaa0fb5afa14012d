#pragma once
// One set of TR58 readings: the record a document window owns. It is filled
// from a .t58 file, from a recorded-data file downloaded from the instrument,
// or point by point by the real-time window, and the window's pages observe it
// (DocumentObserver).
//
// Points are kept in flat arrays (values, validity, times), so 65000 points of
// 8 quantities take about 3 MB; DataPoint and PointValue are the views handed
// out. Point indexes are 0-based here; FirstPoint, LastPoint and GetDatePoint
// count from 1, as the chart and the axis dialog do.

#include <QList>
#include <QString>
#include <QStringView>
#include <vector>

#include "document/DocumentRecord.h"

class DocumentObserver;

// Whether the document's data is in a file: the close question asks for the
// first and the last.
namespace Saved {
enum State : qint16 {
    kNever = 0,      // never saved
    kUnchanged = 1,  // saved, and unchanged since
    kChanged = 2,    // saved, and changed since
};
}  // namespace Saved

// The information page's labels, kept with the record so that every filler
// sets them the same way and the page only shows them.
struct InformationTexts {
    QString Caption;        // the window caption (a file name that is safe to use)
    QString RecordingKind;  // logged at an interval, manual, or real time
    QString Duration;       // empty for manual recordings
    QString Interval;       // empty for manual recordings
    QString Points;
    QString Start;
    QString Stop;
};

class Document {
public:
    // The chart's scale limits: bounds beyond them are replaced by them.
    static constexpr float kLowestScale = -99999.0f;
    static constexpr float kHighestScale = 999999.0f;
    // At most this many quantities are on the chart at once.
    static constexpr int kMaxCharted = 3;

    Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // --- The window's public variables, by their names.
    bool bInvalidFile = false;  // set while a .t58 file is read; stays set when it is rejected
    bool bZoomOut = false;      // the chart shows less than everything
    bool bKapula = false;       // built from a downloaded recorded-data file
    bool bRealTime = false;     // the real-time document while it polls
    bool bCommunicate = false;  // being read, written, exported or filled: may not close
    bool bShowAll = false;      // the chart shows all points with full scales
    Saved::State iSaved = Saved::kNever;
    QString strBuf;          // reply text waiting to be parsed
    bool bExit = false;      // the window is closing: long loops stop
    bool bPrinting = false;  // being printed: the real-time poll skips its turn

    // --- The record.
    QString Title;     // the data set's name (name box, "Title" line of the file)
    QString Notes;     // free notes; lines separated by CR LF
    QString FilePath;  // the .t58 file read or last saved; empty if never saved
    double StartTime = 0.0;
    double StopTime = 0.0;
    qint32 IntervalValue = 0;  // 0 or less: manually recorded data
    qint16 IntervalUnit = 0;
    qint32 FirstPoint = 1;  // the chart's point range, 1-based
    qint32 LastPoint = 0;
    // True until the names and units lines have been read (the parser's state).
    bool HeaderPending = true;
    // True until the statistics of the filled document have been computed once
    // (that first time also sets the chart's scales and quantities).
    bool FirstStatistics = true;
    InformationTexts Info;

    // --- Quantities.
    qint16 QuantityCount() const { return static_cast<qint16>(quantities_.size()); }
    // Sizes the quantities (names, units and statistics cleared, decimals
    // unknown) and drops every point.
    void SetQuantityCount(int count);
    const QList<QuantityInfo>& Quantities() const { return quantities_; }
    const QuantityInfo& Quantity(int q) const { return quantities_.at(q); }
    QuantityInfo& Quantity(int q) { return quantities_[q]; }

    // --- Points.
    qint32 PointCount() const { return static_cast<qint32>(times_.size()); }
    double PointTime(qint32 i) const { return times_[static_cast<size_t>(i)]; }
    PointValue Value(qint32 i, int q) const {
        const size_t at = static_cast<size_t>(i) * stride_ + static_cast<size_t>(q);
        return PointValue{values_[at], static_cast<qint16>(valid_[at])};
    }
    DataPoint Point(qint32 i) const;
    // Adds a point with no valid value and returns its index; observers hear
    // of it through NotifyPointsAdded once it is complete.
    qint32 AppendPoint(double time);
    void SetPointTime(qint32 i, double time) { times_[static_cast<size_t>(i)] = time; }
    void SetValue(qint32 i, int q, float value, bool valid) {
        const size_t at = static_cast<size_t>(i) * stride_ + static_cast<size_t>(q);
        values_[at] = valid ? value : 0.0f;
        valid_[at] = valid ? 1 : 0;
    }
    // Adds parsed points (as many values per point as there are quantities)
    // and tells the observers once. A document without points takes the
    // arrays over as they are, with their spare room.
    void AppendPoints(PointArrays&& points);
    // Takes back the last point (a real-time line that failed).
    void RemoveLastPoint();
    void ClearPoints();
    // Room for n points, so that a download of known size grows once.
    void ReservePoints(qint32 n);
    // Bytes the point storage holds on the heap.
    size_t PointStorageBytes() const;

    // --- The operations the main window, the axis dialog and printing use.
    bool GetQuantit(QList<qint16>& quantities) const;
    qint16 GetDecs(int q) const { return quantities_.at(q).Decimals; }
    float GetScaleValue(bool upper, int q) const;
    void SetScaleValue(bool upper, int q, float value);
    void SetAutoScale(int q, bool on);
    bool GetAutoScale(int q) const { return quantities_.at(q).AutoScale; }
    qint16 GetTimes(double& start, double& stop) const;
    QString strGetTime(qint32 i) const;
    qint32 GetDatafilePoints() const { return PointCount(); }
    qint32 GetDatePoint(double date) const;
    void GetPoints(qint32& first, qint32& last, qint32& count) const;
    void SetPoints(qint32 first, qint32 last);
    void ShowAll();
    // Shows StopTime on the information page (the real-time window moves it).
    void SetStopTime();
    float CutDecimal(float value, int q) const;
    qint16 GetCols() const { return QuantityCount(); }

    // Charted quantities (the check boxes of the information page). Ticking a
    // fourth is refused.
    bool IsCharted(int q) const { return charted_.value(q, false); }
    bool SetCharted(int q, bool on);
    int ChartedCount() const;

    // Edits by the user mark a saved document as changed.
    void EditTitle(const QString& title);
    void EditNotes(const QString& notes);

    // --- The line routines of the .t58 reader (the recorded-data parser reads
    // the same lines with the same field and reading helpers). A names or units
    // line begins with the empty field above the time column (a leading TAB);
    // a data line is a time stamp and one field per quantity. The line's CR LF
    // is optional.
    void Property(QStringView line);
    void Unit(QStringView line);
    // Adds one point from a data line; false when its time stamp is no date.
    // The point count grows before the line is checked, as the real-time window
    // expects: a false result leaves that point for the caller to take back.
    bool MeasToStruct(QStringView line);

    // --- Observers.
    void AddObserver(DocumentObserver* observer);
    void RemoveObserver(DocumentObserver* observer);
    void NotifyQuantitiesChanged();
    void NotifyPointsAdded(qint32 first, qint32 count);
    void NotifyInformationChanged();
    void NotifyStatisticsChanged();
    void NotifyViewChanged();

private:
    static float ClampScale(bool upper, float value);

    QList<QuantityInfo> quantities_;
    QList<float> lowerScale_;
    QList<float> upperScale_;
    QList<bool> charted_;
    size_t stride_ = 0;  // values per point: the quantity count
    std::vector<float> values_;
    std::vector<quint8> valid_;
    std::vector<double> times_;
    QList<DocumentObserver*> observers_;
};
