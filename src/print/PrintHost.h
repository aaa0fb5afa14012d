#pragma once
// What the print dialog needs from the program around it. The main window
// implements it; tests answer it themselves.

#include <QString>
#include <QStringList>

#include "print/PrintRules.h"

class QWidget;

class PrintHost {
public:
    virtual ~PrintHost() = default;
    virtual QWidget* HostWindow() = 0;
    // The installed printers, in the system's order.
    virtual QStringList Printers() const = 0;
    virtual PrintRun& RunPrintSettings() = 0;
    // The message line of the status bar.
    virtual void SetStatusText(const QString& text) = 0;
    // While printing: the hourglass, and the main window takes no input.
    virtual void SetPrinting(bool printing) = 0;
    // The file a PDF goes to; empty when the user cancelled.
    virtual QString AskPdfFileName(const QString& proposed) = 0;
    virtual bool ShowMessage(const QString& key) = 0;
    virtual void MainFocus() = 0;
};
