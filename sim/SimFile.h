#pragma once
// The recorded data files of the simulated instrument, generated from a small
// description so that any size (0 to past 65000 lines, 1 to 8 quantities) costs
// nothing to store and every run produces the same bytes.

#include <QByteArray>
#include <QDateTime>
#include <QList>

struct SimQuantity {
    QByteArray name;  // Windows-1252, up to 9 characters
    QByteArray unit;  // Windows-1252, up to 8 characters
    int decimals = 1;
    double base = 20.0;
    double amplitude = 2.0;
    int missingEvery = 0;  // every n-th reading missing (0: none)
};

struct SimFile {
    QByteArray name;         // Windows-1252
    QDateTime start;         // time of the first data point
    int intervalUnit = 2;    // 2 s, 4 min, 8 h, 10 d, 20 months, 40 years
    int intervalValue = 10;  // 0: manually recorded points at irregular times
    QList<SimQuantity> quantities;
    int lines = 100;
    bool deletable = true;     // false: the directory marks it "L"
    bool rangeCapable = true;  // the directory line has the sixth field
    quint32 seed = 1;

    // Time of data line i (0-based).
    QDateTime PointTime(int i) const;
    // Data line i without its CR LF: time stamp, TAB, values.
    QByteArray DataLine(int i) const;
    // The header's interval field: two decimal digits of the unit, two hex digits of the value.
    QByteArray IntervalField() const;
};

// "yy-mm-dd hh:mm:ss", the instrument's time stamp.
QByteArray InstrumentTimeStamp(const QDateTime& time);

// The default memory of the simulator: a handful of files covering what the
// program must cope with (special characters, missing values, an undeletable
// file, a file without range support, manual data, an empty file, and one of
// 70000 lines of 8 quantities).
QList<SimFile> DefaultSimFiles();

// A file from a short description "NAME:LINES:QUANTITIES[:FLAGS]", FLAGS of
// L (undeletable), N (no range support), M (manual data), X (missing values),
// for the simulator's --file option. False on a malformed description.
bool ParseSimFile(const QString& description, int index, SimFile& file, QString& error);
