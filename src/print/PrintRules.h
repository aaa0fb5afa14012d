#pragma once
// What the print dialog selects and enables, decided without a screen.

#include <QString>
#include <QStringList>

#include "print/PrintJob.h"

// The print settings kept for the program run (never stored): the
// orientation and the printer last printed on, at first the system's default.
struct PrintRun {
    bool landscape = false;
    QString printer;
};

// The printer the list starts on: the run's printer when the list holds it,
// else the first; -1 for an empty list.
int InitialPrinterIndex(const QStringList& printers, const QString& runPrinter);
// OK needs a part ticked and, when printing, a printer.
bool PrintOkEnabled(const PrintChoice& choice, bool printerNeeded, bool printerSelected);
// The part ticked in advance: the page the document window shows (the
// information page for none).
PrintChoice PreTicked(int shownPage);
// Every part, as the command line's /P: prints.
PrintChoice AllParts(bool landscape);
