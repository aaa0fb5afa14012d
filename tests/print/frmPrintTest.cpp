// The print dialog offscreen: the parts ticked in advance, OK's rules, the
// printer list, the run's orientation, and the PDF offered without a printer.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "base/MessageKeys.h"
#include "chart/ChartSlots.h"
#include "document/Document.h"
#include "print/PrintHost.h"
#include "print/PrintRules.h"
#include "print/frmPrint.h"

namespace {

class TestHost : public PrintHost {
public:
    QWidget* HostWindow() override { return nullptr; }
    QStringList Printers() const override { return printers; }
    PrintRun& RunPrintSettings() override { return run; }
    void SetStatusText(const QString& text) override { statusTexts << text; }
    void SetPrinting(bool printing) override { printingChanges << printing; }
    QString AskPdfFileName(const QString& proposed) override {
        asked << proposed;
        return pdfPath;
    }
    bool ShowMessage(const QString& key) override {
        messages << key;
        return true;
    }
    void MainFocus() override { ++focused; }

    QStringList printers;
    PrintRun run;
    QStringList statusTexts;
    QList<bool> printingChanges;
    QStringList asked;
    QString pdfPath;
    QStringList messages;
    int focused = 0;
};

// A small document: two quantities, three points.
void Fill(Document& document) {
    document.Title = QStringLiteral("Kylrum");
    document.SetQuantityCount(2);
    document.Property(QStringLiteral("\tT\tRH\r\n"));
    document.Unit(QStringLiteral("\tC\t%RH\r\n"));
}

}  // namespace

TEST(PrintRules, PrinterListAndOk) {
    EXPECT_EQ(InitialPrinterIndex({}, QStringLiteral("A")), -1);
    EXPECT_EQ(InitialPrinterIndex({"A", "B"}, QStringLiteral("B")), 1);
    EXPECT_EQ(InitialPrinterIndex({"A", "B"}, QStringLiteral("gone")), 0);
    EXPECT_EQ(InitialPrinterIndex({"A", "B"}, QString()), 0);
    PrintChoice none;
    EXPECT_FALSE(PrintOkEnabled(none, true, true));
    EXPECT_FALSE(PrintOkEnabled(PreTicked(1), true, false)) << "printing needs a printer";
    EXPECT_TRUE(PrintOkEnabled(PreTicked(1), false, false)) << "a PDF does not";
    EXPECT_TRUE(PreTicked(-1).information);
    EXPECT_TRUE(PreTicked(2).table && !PreTicked(2).information);
}

class PrintDialogTest : public ::testing::Test {
protected:
    PrintDialogTest() { Fill(document); }
    TestHost host;
    Document document;
    ChartSlots chartSlots;
};

TEST_F(PrintDialogTest, WithoutAPrinterOkStaysDisabledAndThePdfIsOffered) {
    frmPrint dialog(host, document, chartSlots, 1, frmPrint::Mode::Printer);
    EXPECT_EQ(dialog.cboPrinter()->count(), 0);
    EXPECT_FALSE(dialog.cmdOK()->isEnabled());
    EXPECT_TRUE(dialog.chkChart()->isChecked()) << "the shown page's part is ticked";
    EXPECT_FALSE(dialog.chkInformation()->isChecked());
    EXPECT_FALSE(dialog.lblNoPrinter()->isHidden());
    EXPECT_FALSE(dialog.cmdSavePdf()->isHidden());
    EXPECT_TRUE(dialog.cmdSavePdf()->isEnabled());
    EXPECT_FALSE(dialog.cmdOK_Click()) << "a disabled OK prints nothing";
}

TEST_F(PrintDialogTest, ClearingEveryPartDisablesOkAndTickingOneEnablesIt) {
    host.printers = {"Lab", "Office"};
    host.run.printer = QStringLiteral("Office");
    frmPrint dialog(host, document, chartSlots, 0, frmPrint::Mode::Printer);
    EXPECT_EQ(dialog.cboPrinter()->currentText(), QStringLiteral("Office"));
    EXPECT_TRUE(dialog.lblNoPrinter()->isHidden());
    EXPECT_TRUE(dialog.cmdOK()->isEnabled());
    dialog.chkInformation()->setChecked(false);
    EXPECT_FALSE(dialog.cmdOK()->isEnabled());
    dialog.chkDatatable()->setChecked(true);
    EXPECT_TRUE(dialog.cmdOK()->isEnabled());
}

// Regression: a print the printer did not take said nothing; the dialog
// closed as if the pages were on their way.
TEST_F(PrintDialogTest, APrinterThatIsGoneSaysTheDocumentWasNotPrinted) {
    // With a printer installed, Qt would send the job to the default one.
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) GTEST_SKIP() << "a printer is installed";
    host.printers = {QStringLiteral("Skrivare som togs bort")};
    frmPrint dialog(host, document, chartSlots, 0, frmPrint::Mode::Printer);
    ASSERT_TRUE(dialog.cmdOK()->isEnabled());
    EXPECT_FALSE(dialog.cmdOK_Click());
    EXPECT_EQ(host.messages, QStringList{MessageKeys::kCannotPrint});
    EXPECT_EQ(host.printingChanges, (QList<bool>{true, false}));
    EXPECT_FALSE(document.bPrinting);
}

TEST_F(PrintDialogTest, TheOrientationChosenOnceIsPreselectedInTheSameRun) {
    host.pdfPath = QString();  // cancelled at the file name: nothing written
    {
        frmPrint dialog(host, document, chartSlots, 0, frmPrint::Mode::Pdf);
        EXPECT_FALSE(dialog.optLandscape()->isChecked());
        dialog.optLandscape()->setChecked(true);
        dialog.cmdOK_Click();
    }
    EXPECT_TRUE(host.run.landscape);
    frmPrint again(host, document, chartSlots, 0, frmPrint::Mode::Pdf);
    EXPECT_TRUE(again.optLandscape()->isChecked());
    EXPECT_EQ(host.asked, QStringList{QStringLiteral("Kylrum.pdf")});
    EXPECT_GE(host.focused, 1) << "the main window gets the focus back";
}

TEST_F(PrintDialogTest, ThePdfIsWrittenWithTheChosenParts) {
    QTemporaryDir dir;
    host.pdfPath = dir.filePath(QStringLiteral("kylrum.pdf"));
    frmPrint dialog(host, document, chartSlots, 0, frmPrint::Mode::Printer);
    dialog.chkChart()->setChecked(true);
    ASSERT_TRUE(dialog.cmdSavePdf_Click());
    QFile pdf(host.pdfPath);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF-"));
    EXPECT_EQ(host.printingChanges, (QList<bool>{true, false}));
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_FALSE(document.bPrinting);
}
