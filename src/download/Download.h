#pragma once
// Downloading recorded data files: the "PLAY" command of each selected file,
// the date/time range the user may ask for, the progress total, and the run
// over the selection that turns every reply into a document.
//
//   newest data / whole file   "PLAY " n CR
//   date/time range            "PLAY " n " " yyyy-mm-dd hh:mm:ss " " yyyy-mm-dd hh:mm:ss CR
//
// n is the file's number in the directory (the digits of its key). The range
// form goes only to files that support it; the others get the plain form.

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>
#include <functional>
#include <optional>

#include "download/DirEntry.h"

class Link;

// The file number in a list item's key ("#3" -> 3); -1 for a key without one.
int FileNumberOfKey(const QString& key);

// The command for one file; from and to are used when range is true and the
// file supports a range.
QString PlayCommand(const DirEntry& entry, bool range, const QDateTime& from = {},
                    const QDateTime& to = {});

// A date or time typed by the user: the user's short date (long time) format
// first, then a few common forms ("yyyy-mm-dd", "hh:mm"). Nothing when it is
// no date (time).
std::optional<QDate> ReadUserDate(const QString& text);
std::optional<QTime> ReadUserTime(const QString& text);

// The range check before a range download. Each of the four fields is
// rewritten in the user's short date or long time format, in the order from
// date, from time, to date, to time; the first that is not valid makes the
// range invalid. Then the from date must not be after the to date, and on the
// same day the from time must be earlier than the to time. False for an
// invalid range ("Invalid Date"); the fields keep what was rewritten so far.
bool RangeCheck(QString& fromDate, QString& fromTime, QString& toDate, QString& toTime,
                QDateTime& from, QDateTime& to);

// The progress total of a download: every selected file's points and its three
// header lines, counted twice (on receipt and when parsed), and one step per
// file when the files are deleted afterwards.
qint32 DownloadLineTotal(const QList<DirEntry>& table, bool deleteAfter);

// One download over the selected entries of a directory table, in the table's
// order. The link shows its own failure messages; the caller makes documents.
class DownloadSession {
public:
    enum class Outcome {
        Done,            // every selected file became a document
        NotIdle,         // the real-time poll kept the link: nothing was done
        TransferFailed,  // a PLAY failed or was cancelled (the link showed why)
        FileGone,        // a file was deleted meanwhile ("Cannot download" shown)
        ParseFailed,     // a reply could not be parsed; its document is dropped
        StoppedByUser,   // Cancel at the 65000-point notice, or while a file was read
    };

    struct Options {
        bool range = false;  // the date/time range option is chosen
        QDateTime from;
        QDateTime to;
        bool deleteAfter = false;  // the files are deleted afterwards (the caller runs it)
    };

    // Receives one reply (entry, 1-based number among the selected files, the
    // reply text) and makes a document of it; false when the parse failed.
    using ReplySink = std::function<bool(const DirEntry& entry, int number, QString& reply)>;
    // Asked when a reply was cut at 65000 points: true goes on with the points
    // received (OK), false stops the download (Cancel).
    using LimitQuestion = std::function<bool()>;

    explicit DownloadSession(Link& link) : link_(link) {}
    Outcome Run(const QList<DirEntry>& table, const Options& options, const ReplySink& sink,
                const LimitQuestion& limitQuestion);
    // The file being downloaded when the run ended (0 when none).
    int CurrentFile() const { return current_; }
    // Files of the run whose points did not all arrive (cut at 65000 points,
    // or read by date/time range), by directory number: deleting them would
    // lose readings that are in no document.
    const QList<qint32>& Incomplete() const { return incomplete_; }
    // Takes the incomplete files out of the table's selection before the
    // deletion that follows a download; returns how many were kept.
    int KeepIncomplete(QList<DirEntry>& table) const;

    // A file asked for whole that the instrument ended before the points the
    // directory listed (not cut at 65000): its document holds what came.
    struct EndedEarly {
        qint32 index = 0;
        QString name;
        qint64 received = 0;
        qint32 listed = 0;
    };
    // The files of the run that ended early and became documents, in order.
    const QList<EndedEarly>& FilesEndedEarly() const { return endedEarly_; }

private:
    void Finish();

    Link& link_;
    int current_ = 0;
    QList<qint32> incomplete_;
    QList<EndedEarly> endedEarly_;
};

// What the user is told of a file that ended early: its name, the points
// that came and those the directory listed, and that it is still on the
// instrument (nothing deletes an incomplete file).
QString EndedEarlyText(const DownloadSession::EndedEarly& file);

// The points a download asks of each selected file, in table order: the
// whole file, or for a date/time range the points of the file that fall in it,
// estimated from its first point and its logging interval (manually recorded
// files count whole). At most 65000 each, as the download cuts there.
QList<qint32> DownloadPlan(const QList<DirEntry>& table, const DownloadSession::Options& options);

// Whether the file comes back whole from this download: not when only a
// date/time range of it is asked for.
bool DownloadsWholeFile(const DirEntry& entry, const DownloadSession::Options& options);
