#pragma once
// The real-time settings as the instrument keeps them: which quantities of the
// probe are shown, each in which unit ("UNIT"), and the poll interval the
// program keeps for the real-time window.
//
// "UNIT" answers one line per probe quantity:
//   (unused) TAB name TAB chosen unit (1-based; empty or 0: not shown) TAB unit 1 TAB unit 2 ...
// so a line with k TABs offers k - 2 units; CTRL-Z alone means no probe is
// attached. "UNIT " followed by one number and a blank per quantity (the unit
// to show, 0 to hide it) changes the choice.

#include <QList>
#include <QString>
#include <array>

class Link;

// One unit a quantity can be shown in; Index is its position in Units.
struct QuantityUnit {
    qint16 Index = 0;
    QString Unit;  // at most kUnitLength characters, as the instrument sent it
};

// One quantity of the probe, in the order of the reply.
struct QuantityChoice {
    static constexpr int kNameLength = 9;
    static constexpr int kUnitLength = 8;

    qint16 ListIndex = 0;   // position in the quantity list
    QString Name;           // at most kNameLength characters, as the instrument sent it
    qint16 UnitChoice = 0;  // 1-based unit shown; 0: not shown
    QList<QuantityUnit> Units;

    // The name and the units as the user sees them (symbol codes made readable).
    QString ShownName() const;
    QString ShownUnit(int index) const;
};

// The reply to "UNIT" is the end mark alone: no probe is attached.
bool IsNoProbeReply(const QString& reply);
// The quantities of a "UNIT" reply, in reply order.
QList<QuantityChoice> ParseUnitReply(const QString& reply);
// "UNIT " with, per quantity in order, its UnitChoice when shown[i] and 0
// when not, each followed by a blank; then CR.
QString UnitChangeCommand(const QList<QuantityChoice>& quantities, const QList<bool>& shown);

// The entries of the interval list: the text shown, the interval in seconds
// and the interval unit code the documents keep (2 s, 4 min, 8 h).
struct IntervalEntry {
    const char* text;
    qint32 seconds;
    qint16 unitCode;
};
constexpr int kIntervalCount = 11;
extern const std::array<IntervalEntry, kIntervalCount> kIntervals;

// Seconds of the list entry (-1: none chosen, 0 s).
qint32 IntervalSecond(int listIndex);
// Unit code of the list entry (-1: none chosen, code 2).
qint16 IntervalUnit(int listIndex);
// The list entry of an interval in seconds; -1 when no entry has it.
int ListInterval(qint32 seconds);

enum class UnitReadResult {
    Read,     // quantities holds the probe's quantities
    Failed,   // the command failed or was cancelled (the link showed why)
    NoProbe,  // no probe attached ("No Probe" shown, the link closed)
};

// Reads the quantity table with "UNIT" behind the progress window. The link is
// closed afterwards unless closeAfter is false (a change follows at once).
UnitReadResult ReadQuantityTable(Link& link, QList<QuantityChoice>& quantities,
                                 bool closeAfter = true);
// Sends the choice ("UNIT n n ..."); false when the instrument refused it or
// could not be reached (the link showed "Cannot Change" or why).
bool SendUnitChoice(Link& link, const QList<QuantityChoice>& quantities, const QList<bool>& shown);
