#pragma once
// The instrument's file directory: the reply to "DIR", one line per recorded
// data file with six TAB-separated fields:
//   name TAB first point (yy-mm-dd hh:mm:ss) TAB points TAB (unused)
//   TAB status ("L": cannot be deleted) [TAB second point count]
// The sixth field, when present, replaces the point count and means the file
// can be downloaded by date/time range. A reply that starts with CTRL-Z means
// the instrument holds no files.

#include <QList>
#include <QString>

struct DirEntry {
    QString Name;                 // trimmed and cleaned of the instrument's symbol codes
    QString FirstPointText;       // the first point's date-time, as the platform writes one
    qint32 PointTotal = 0;        // field 6 when not empty, else field 3
    QString Status;               // "L": the file cannot be deleted
    QString SecondCount;          // field 6 as received; not empty: range download possible
    double FirstPointTime = 0.0;  // OLE date; the sort key of the first-point column
    QString Key;                  // "#" and the file's number ("#0" for the first file)
    qint32 Index = 0;             // the file's number: its position in the reply, from 0
    qint16 Selected = 0;          // the list item's selection, kept across sorting

    bool Deletable() const { return Status != QStringLiteral("L"); }
    bool RangeCapable() const { return !SecondCount.isEmpty(); }
};

// True when the reply says the instrument holds no files.
bool DirReplyHasNoFiles(const QString& reply);

// The directory table: entry 0 is empty, the files follow from entry 1 in the
// order of the reply. Every CR LF line is one file; the CTRL-Z is none. Empty
// fields keep their place (a deletable file has an empty status before its
// sixth field).
QList<DirEntry> ParseDirReply(const QString& reply);

// True when some entry (from 1) can be downloaded by date/time range.
bool AnyRangeCapable(const QList<DirEntry>& table);

// Columns of the file list and their sort keys; Index has no column and
// restores the order of the reply.
enum class DirColumn { Name = 1, FirstPoint = 2, Points = 3, Status = 4, Index = 5 };

// Sorts entries 1 .. n on a column's key, stably (equal keys keep their order,
// as the list's adjacent-swap sort leaves them); entry 0 stays in front.
void SortDirEntries(QList<DirEntry>& table, DirColumn column, bool ascending);

// The list's sort state: clicking the column sorted last flips the direction,
// another column sorts ascending.
struct DirSortState {
    int lastColumn = 0;
    bool ascending = true;
    // Records a click on column and returns the direction to sort in.
    bool Click(DirColumn column);
};

// Selected entries (from 1).
int SelectedCount(const QList<DirEntry>& table);
bool AllSelected(const QList<DirEntry>& table);

// What the dialog enables for the current selection.
struct DirSelectionRules {
    bool actionEnabled = false;       // the download button (something is selected)
    bool deleteEnabled = false;       // the delete button: selected, and all deletable
    bool deleteAfterEnabled = false;  // "delete downloaded files" check box
    bool rangeEnabled = false;        // the date/time range option
};
DirSelectionRules SelectionRules(const QList<DirEntry>& table);

// Column texts of an entry: name, first point, points, status (catalogue texts
// 6015 "can be deleted" / 6016 "cannot be deleted").
QString StatusText(const DirEntry& entry);
