#pragma once
// One data file of the instrument's directory, as the "DIR" reply lists it:
// name TAB first point TAB points TAB (unused) TAB status [TAB second count].

#include <QDateTime>
#include <QList>
#include <QString>

struct DirEntry {
    QString Name;            // trimmed and cleaned of the instrument's symbol codes
    QString FirstPointText;  // the first point's date-time in the user's format
    qint32 PointTotal = 0;   // the second count when given, else the point count
    QString Status;          // "L": the file cannot be deleted
    QString SecondCount;     // as received; not empty: a date/time range can be read
    QDateTime FirstPointTime;
    QString Key;        // "#" and Index: the list item's key
    qint32 Index = 0;   // position in the reply from 0: the file's number for PLAY and DEL
    qint16 Selected = 0;

    bool Deletable() const { return Status != QLatin1String("L"); }
    bool RangeCapable() const { return !SecondCount.isEmpty(); }
};

// The entries of a "DIR" reply, in reply order (the CTRL-Z after the last
// line is no entry). A reply that starts with CTRL-Z lists no files.
QList<DirEntry> ParseDirReply(const QString& reply);
