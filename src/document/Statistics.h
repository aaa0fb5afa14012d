#pragma once
// The summary of a document: minimum, maximum and mean of every quantity over
// its valid readings, and the information page's texts that go with a filled
// document (times, interval, duration, recording kind, number of points).

#include <QString>
#include <QStringList>

class Document;
class DocumentHost;

// Computes Minimum, Maximum, Mean and StatsValid of every quantity. The mean is
// summed in double precision (the single-precision sum of the old program
// drifted: 65000 equal readings did not average to that reading) and stored as
// a single. On the first computation of a document every quantity with values
// also gets its chart scales from the shown minimum and maximum, every quantity
// is auto-scaled, and the first three are put on the chart. The host serves the
// user interface now and then; when the document is closing meanwhile (bExit)
// the computation stops and false is returned.
bool ComputeStatistics(Document& document, DocumentHost* host = nullptr);

enum class StatisticKind { Minimum, Maximum, Mean };
// A statistic as the information page shows it: the quantity's decimals and
// "." as decimal mark; empty while the quantity has no valid reading.
QString StatisticText(const Document& document, int q, StatisticKind kind);

// The information page after a document has been filled from a recorded-data
// reply or a .t58 file: start and stop from the first and last point, the
// interval and duration (empty for manual recordings, which are named so),
// the number of points. realTime: the real-time window's document (named so;
// its stop time is shown when it stops).
void UpdateFilledInformation(Document& document, bool realTime);

// A caption of the string table without its keyboard marker ("&Namn:" -> "Namn:").
QString PlainCaption(int id);
// The information page's summary: a row of captions (quantity, unit, minimum,
// maximum, mean), then one row per quantity.
QList<QStringList> SummaryTable(const Document& document);

// The content of the information page as plain text (captions from the string
// table), for the tr58 tool and for checks by eye.
QString InformationPageText(const Document& document);
