#pragma once
// Reads the instrument's recorded-data text: the reply to "PLAY" (a downloaded
// data file) and the replies of the real-time poll. A pure function from the
// reply to what it holds; the caller puts that into a document
// (RecordedDataFill.h) and tells the user about a refused reply.
//
// A downloaded file's reply (CR LF lines, TAB fields, CTRL-Z at the end):
//   name TAB start TAB count TAB interval     the header, exactly three TABs
//   TAB name 1 TAB name 2 ...                 one field per quantity
//   TAB unit 1 TAB unit 2 ...                 as many TABs as the names line
//   yy-mm-dd hh:mm:ss TAB value 1 ...         one line per point; one extra
//                                             TAB before the CR LF is allowed
//   CTRL-Z
// A real-time reply has no header line; its first reply holds the names line
// (whose first field, above the time column, is skipped) and the units line,
// later replies data lines only. A reading the instrument did not have is
// written as a placeholder ("-", "----", nothing): a missing value.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

#include "document/DocumentRecord.h"

enum class ReplyForm {
    Download,       // the reply to PLAY: header, names, units, data lines
    RealTimeFirst,  // the first real-time reply: names, units, data lines
    RealTimePoll,   // a later real-time reply: data lines only
};

struct ReplyShape {
    ReplyForm form = ReplyForm::Download;
    int quantities = 0;     // a poll's quantity count: the document's
    qint32 pointsHeld = 0;  // points the document holds already (they count to 65000)
};

enum class ReplyError {
    None,
    Unended,     // empty, a single blank, or not ended by CTRL-Z
    Header,      // a header line without exactly three TABs
    Columns,     // no or more than 8 quantities, or units that do not match the names
    FieldCount,  // a data line with another TAB count than the quantities
    TimeStamp,   // a data line whose time stamp is no date
};

struct ReplyHeader {
    QString name;                    // as sent, the instrument's codes and all
    std::optional<QDateTime> start;  // none for "." or an unreadable start
    QString count;                   // the points the file holds, as written
    qint16 intervalUnit = 0;         // the unit code (2 s, 4 min, ...)
    qint32 intervalValue = 0;        // below 1: manually recorded data
};

struct RecordedQuantity {
    QString name;  // cut and cleaned, as the document keeps it
    QString unit;
};

struct RecordedData {
    std::optional<ReplyHeader> header;  // a download's, once its line was read
    // The names and units lines (a first real-time reply's too); a units line
    // that does not match leaves the names with empty units.
    QList<RecordedQuantity> quantities;
    bool columnsRead = false;  // the header and column lines were good
    PointArrays points;        // the accepted data lines, in order
    // Per quantity the decimals of its first reading in this reply; -1 when
    // it had none.
    QList<qint16> firstDecimals;
    qint32 dataLines = 0;    // data lines gone through (the progress counts them)
    bool truncated = false;  // 65000 points were reached: the rest was dropped
    bool cancelled = false;  // the progress callback stopped the parse
    // A real-time reply that ended without a further line: nothing is wrong,
    // but the reply is not complete either.
    bool endedWithoutLine = false;
    ReplyError error = ReplyError::None;
    qint32 errorLine = 0;  // the reply's line (from 1) the error was found in

    bool Complete() const { return error == ReplyError::None && !cancelled && !endedWithoutLine; }
};

// Called before each data line with its number (from 1); false stops the
// parse there (the window is closing). It may let the user interface run.
using ParseProgress = std::function<bool(qint32 dataLine)>;

// Reads a whole reply (its CTRL-Z included) of the given shape. It keeps at
// most 65000 points, those the document holds counted; the rest of a longer
// reply is dropped. What was read before an error stays in the result.
RecordedData ParseRecordedData(QStringView reply, const ReplyShape& shape,
                               const ParseProgress& progress = {});
