#pragma once
// One data file of the instrument's directory, as the "DIR" reply lists it:
// name TAB first point TAB points TAB (unused) TAB status [TAB second count].
// The sixth field, when present, replaces the point count and means the file
// can be downloaded by date/time range. A reply that starts with CTRL-Z means
// the instrument holds no files.

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

struct DirEntry {
    QString Name;            // trimmed and cleaned of the instrument's symbol codes
    QString FirstPointText;  // the first point's date-time in the user's format
    qint32 PointTotal = 0;   // the second count when given, else the point count
    QString Status;          // "L": the file cannot be deleted
    QString SecondCount;     // as received; not empty: a date/time range can be read
    QDateTime FirstPointTime;
    QString Key;       // "#" and Index: the list item's key
    qint32 Index = 0;  // position in the reply from 0: the file's number for PLAY and DEL
    qint16 Selected = 0;
    // The logging interval of the fourth field (unit code and value, as a
    // download's header gives them); a value below 1: manually recorded.
    qint16 IntervalUnit = 0;
    qint32 IntervalValue = 0;

    bool Deletable() const { return Status != QLatin1String("L"); }
    bool RangeCapable() const { return !SecondCount.isEmpty(); }
};

// The entries of a "DIR" reply, in reply order (the CTRL-Z after the last
// line is no entry). A reply that starts with CTRL-Z lists no files. Empty
// fields keep their place: a status left empty before the sixth field does not
// shift the second count into it. wellFormed, when given, says whether every
// line has the directory's shape: anything else ("ERR", "OK", a reply meant
// for another command) is no directory, and acting on it could delete files.
QList<DirEntry> ParseDirReply(const QString& reply, bool* wellFormed = nullptr);

// True when some entry can be downloaded by date/time range (the range option
// is offered at all).
bool AnyRangeCapable(const QList<DirEntry>& entries);

// Columns of the file list and their sort keys; Index has no column and
// restores the order of the reply.
enum class DirColumn { Name = 1, FirstPoint = 2, Points = 3, Status = 4, Index = 5 };

// Sorts on a column's key, stably (entries with equal keys keep their order,
// as the list's adjacent-swap sort leaves them). Names and statuses compare
// ordinally.
void SortDirEntries(QList<DirEntry>& entries, DirColumn column, bool ascending);

// The list's sort state: clicking the column sorted last flips the direction,
// another column sorts ascending.
struct DirSortState {
    int lastColumn = 0;
    bool ascending = true;
    // Records a click on column and returns the direction to sort in.
    bool Click(DirColumn column);
};

int SelectedCount(const QList<DirEntry>& entries);
bool AllSelected(const QList<DirEntry>& entries);

// What the file dialog enables for the current selection.
struct DirSelectionRules {
    bool actionEnabled = false;       // the download button: something is selected
    bool deleteEnabled = false;       // the delete button: selected, and all deletable
    bool deleteAfterEnabled = false;  // "delete downloaded files": the same rule
    bool rangeEnabled = false;        // the date/time range option
};
DirSelectionRules SelectionRules(const QList<DirEntry>& entries);

// Why the delete button is off: the names of the selected files the instrument
// will not delete, in the words of text 6088; empty when nothing stands in the
// way.
QString DeleteRefusedReason(const QList<DirEntry>& entries);

// The question asked before files are deleted in the instrument: the file's
// name when it is one, else the number of files.
QString DeleteQuestionText(const QList<DirEntry>& entries);

// The time of a file's last point, from its first point, its point count and
// its logging interval; nothing for manually recorded data or an unknown start.
std::optional<QDateTime> LastPointTime(const DirEntry& entry);

// The span a date/time range starts with: from the earliest first point to
// the latest last point of the selected files that can be read by range, or
// of all such files when none is selected. Nothing when no file qualifies; an
// unknown last point leaves the end invalid.
std::optional<std::pair<QDateTime, QDateTime>> RangeSpan(const QList<DirEntry>& entries);

// The time of point n (from 0) of a file logged at the entry's interval.
std::optional<QDateTime> PointTime(const DirEntry& entry, qint64 n);

// The status column's text: catalogue text 6015 "can be deleted" or 6016
// "cannot be deleted".
QString StatusText(const DirEntry& entry);
