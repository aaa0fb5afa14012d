#pragma once
// The print dialog: which parts of the document (information, chart, data
// table), on which printer, in which orientation. The same dialog writes the
// parts to a PDF file instead ("Spara som PDF..."), and offers that when no
// printer is installed.

#include <QDialog>

#include "print/PrintRules.h"

class ChartSlots;
class Document;
class PrintHost;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

class frmPrint : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Printer, Pdf };

    // shownPage: the document window's page (its part is ticked in advance).
    frmPrint(PrintHost& host, Document& document, const ChartSlots& chartSlots, int shownPage,
             Mode mode);

    QCheckBox* chkInformation() const { return chkInformation_; }
    QCheckBox* chkChart() const { return chkChart_; }
    QCheckBox* chkDatatable() const { return chkDatatable_; }
    QComboBox* cboPrinter() const { return cboPrinter_; }
    QRadioButton* optLandscape() const { return optLandscape_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdSavePdf() const { return cmdSavePdf_; }
    QLabel* lblNoPrinter() const { return lblNoPrinter_; }

    // OK: prints, or writes the PDF. False when nothing was done or it failed.
    bool cmdOK_Click();
    // The PDF offered when no printer is installed.
    bool cmdSavePdf_Click();

protected:
    void done(int result) override;

private:
    PrintChoice Choice() const;
    void UpdateOk();
    bool Print();
    bool SavePdf();

    PrintHost& host_;
    Document& document_;
    const ChartSlots& chartSlots_;
    Mode mode_;
    QCheckBox* chkInformation_;
    QCheckBox* chkChart_;
    QCheckBox* chkDatatable_;
    QComboBox* cboPrinter_;
    QLabel* lblPrinter_;
    QRadioButton* optPortrait_;
    QRadioButton* optLandscape_;
    QLabel* lblNoPrinter_;
    QPushButton* cmdSavePdf_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};
