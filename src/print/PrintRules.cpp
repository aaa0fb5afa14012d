#include "print/PrintRules.h"

int InitialPrinterIndex(const QStringList& printers, const QString& runPrinter) {
    if (printers.isEmpty()) return -1;
    const qsizetype at = runPrinter.isEmpty() ? -1 : printers.indexOf(runPrinter);
    return at < 0 ? 0 : static_cast<int>(at);
}

bool PrintOkEnabled(const PrintChoice& choice, bool printerNeeded, bool printerSelected) {
    const bool anyPart = choice.information || choice.chart || choice.table;
    return anyPart && (!printerNeeded || printerSelected);
}

PrintChoice PreTicked(int shownPage) {
    PrintChoice choice;
    if (shownPage == 1)
        choice.chart = true;
    else if (shownPage == 2)
        choice.table = true;
    else
        choice.information = true;
    return choice;
}

PrintChoice AllParts(bool landscape) {
    PrintChoice choice;
    choice.information = choice.chart = choice.table = true;
    choice.landscape = landscape;
    return choice;
}
