// The main window's printing: the print dialog, the PDF and the command
// line's /P:.
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>

#include "app/frmDocument.h"
#include "app/frmMain.h"
#include "base/MessageKeys.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "chart/ChartView.h"
#include "print/PrintJob.h"

QStringList frmMain::Printers() const {
    return QPrinterInfo::availablePrinterNames();
}

void frmMain::SetPrinting(bool printing) {
    if (printing)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    setEnabled(!printing);
}

QString frmMain::AskPdfFileName(const QString& proposed) {
    QString path = dialogs_.pdfFileName
                       ? dialogs_.pdfFileName(proposed)
                       : QFileDialog::getSaveFileName(this, title_, proposed,
                                                      StringTable::Text(Str::kPdfFilter));
    const QString chosen = path;
    if (!path.isEmpty() &&
        QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".pdf");
    return ConfirmReplace(chosen, path) ? path : QString();
}

void frmMain::ShowPrintDialog(frmPrint::Mode mode) {
    frmDocument* document = ActiveDocument();
    if (!document) return;
    frmPrint dialog(*this, document->Doc(), document->Chart()->Slots(), document->CurrentPage(),
                    mode);
    dialog.exec();
}

namespace {

void CloseWindow(frmDocument& document) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(document.parentWidget()))
        sub->close();
    else
        document.close();
}

}  // namespace

bool frmMain::PrintAll(frmDocument& document) {
    const QStringList printers = Printers();
    if (printers.isEmpty()) {
        // Said on the terminal too: /P: may run where nobody sees a window.
        std::fprintf(stderr, "%s\n", qPrintable(StringTable::Text(Str::kNoPrinterNotPrinted)));
        ShowMessage(MessageKeys::kNoPrinter);
        CloseWindow(document);
        return false;
    }
    const QString name = printers.at(InitialPrinterIndex(printers, printRun_.printer));
    QPrinter printer(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
    printer.setPageOrientation(printRun_.landscape ? QPageLayout::Landscape
                                                   : QPageLayout::Portrait);
    document.setEnabled(false);
    Document& d = document.Doc();
    d.bPrinting = true;
    const bool ok = PrintDocument(
        printer, d, document.Chart()->Slots(), AllParts(printRun_.landscape),
        [this](const QString& text) { SetStatusText(text); }, [&d] { return d.bExit; });
    if (!ok) printer.abort();
    d.bPrinting = false;
    document.setEnabled(true);
    if (!ok && !d.bExit) {
        std::fprintf(stderr, "%s\n", qPrintable(StringTable::Text(Str::kCannotPrint)));
        ShowMessage(MessageKeys::kCannotPrint);
    }
    CloseWindow(document);
    return ok;
}
