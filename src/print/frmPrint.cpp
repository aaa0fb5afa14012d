#include "print/frmPrint.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/GuiCaptions.h"
#include "base/MessageKeys.h"
#include "base/StringIds.h"
#include "base/TextHelpers.h"
#include "document/Document.h"
#include "print/PrintHost.h"
#include "print/PrintJob.h"

namespace {

QCheckBox* Box(QWidget* parent, const char* name, Str::Id tag) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setProperty("Tag", Str::Tag(tag));
    return box;
}

// The PDF is proposed beside the document's file, or named after its data set.
QString PdfNameFor(const Document& document) {
    QString base = QFileInfo(document.FilePath).completeBaseName();
    if (base.isEmpty()) base = document.Info.Caption;
    if (base.isEmpty()) base = SafeFileNameText(document.Title).trimmed();
    return (base.isEmpty() ? QStringLiteral("TR58") : base) + QStringLiteral(".pdf");
}

}  // namespace

frmPrint::frmPrint(PrintHost& host, Document& document, const ChartSlots& chartSlots, int shownPage,
                   Mode mode)
    : QDialog(host.HostWindow()),
      host_(host),
      document_(document),
      chartSlots_(chartSlots),
      mode_(mode) {
    setObjectName(QStringLiteral("frmPrint"));
    setProperty("Tag", Str::Tag(mode == Mode::Pdf ? Str::kMenuFileSavePdf : Str::kPrintTitle));

    auto* parts = new QGroupBox(this);
    parts->setProperty("Tag", Str::Tag(Str::kPrintWhat));
    chkInformation_ = Box(parts, "chkInformation", Str::kTabInformation);
    chkChart_ = Box(parts, "chkChart", Str::kTabChart);
    chkDatatable_ = Box(parts, "chkDatatable", Str::kTabDataTable);
    auto* partsLayout = new QVBoxLayout(parts);
    for (QCheckBox* box : {chkInformation_, chkChart_, chkDatatable_}) partsLayout->addWidget(box);

    lblPrinter_ = new QLabel(this);
    lblPrinter_->setProperty("Tag", Str::Tag(Str::kPrintPrinter));
    cboPrinter_ = new QComboBox(this);
    cboPrinter_->setObjectName(QStringLiteral("cboPrinter"));
    lblPrinter_->setBuddy(cboPrinter_);

    auto* orientation = new QGroupBox(this);
    orientation->setProperty("Tag", Str::Tag(Str::kPrintOrientation));
    optPortrait_ = new QRadioButton(orientation);
    optPortrait_->setObjectName(QStringLiteral("optPortrait"));
    optPortrait_->setProperty("Tag", Str::Tag(Str::kPrintPortrait));
    optLandscape_ = new QRadioButton(orientation);
    optLandscape_->setObjectName(QStringLiteral("optLandscape"));
    optLandscape_->setProperty("Tag", Str::Tag(Str::kPrintLandscape));
    auto* orientationLayout = new QHBoxLayout(orientation);
    orientationLayout->addWidget(optPortrait_);
    orientationLayout->addWidget(optLandscape_);

    // No printer: say so, and offer the PDF instead of a dead OK.
    lblNoPrinter_ = new QLabel(this);
    lblNoPrinter_->setObjectName(QStringLiteral("lblNoPrinter"));
    lblNoPrinter_->setProperty("Tag", Str::Tag(Str::kNoPrinterOfferPdf));
    lblNoPrinter_->setWordWrap(true);
    cmdSavePdf_ = new QPushButton(this);
    cmdSavePdf_->setObjectName(QStringLiteral("cmdSavePdf"));
    cmdSavePdf_->setProperty("Tag", Str::Tag(Str::kMenuFileSavePdf));

    auto* buttons = new QDialogButtonBox(this);
    cmdOK_ = AddCaptionedButton(buttons, "cmdOK", Str::kButtonOk, QDialogButtonBox::AcceptRole);
    cmdCancel_ =
        AddCaptionedButton(buttons, "cmdCancel", Str::kButtonCancel, QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(parts);
    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(lblPrinter_);
    printerRow->addWidget(cboPrinter_, 1);
    layout->addLayout(printerRow);
    layout->addWidget(lblNoPrinter_);
    auto* pdfRow = new QHBoxLayout;
    pdfRow->addStretch();
    pdfRow->addWidget(cmdSavePdf_);
    layout->addLayout(pdfRow);
    layout->addWidget(orientation);
    layout->addWidget(buttons);
    ApplyCaptions(this);

    const PrintRun& run = host_.RunPrintSettings();
    (run.landscape ? optLandscape_ : optPortrait_)->setChecked(true);
    const QStringList printers = host_.Printers();
    cboPrinter_->addItems(printers);
    cboPrinter_->setCurrentIndex(InitialPrinterIndex(printers, run.printer));
    const bool printing = mode_ == Mode::Printer;
    for (QWidget* w : std::initializer_list<QWidget*>{lblPrinter_, cboPrinter_})
        w->setVisible(printing);
    lblNoPrinter_->setVisible(printing && printers.isEmpty());
    cmdSavePdf_->setVisible(printing && printers.isEmpty());

    const PrintChoice ticked = PreTicked(shownPage);
    chkInformation_->setChecked(ticked.information);
    chkChart_->setChecked(ticked.chart);
    chkDatatable_->setChecked(ticked.table);
    for (QCheckBox* box : {chkInformation_, chkChart_, chkDatatable_})
        connect(box, &QCheckBox::toggled, this, &frmPrint::UpdateOk);
    connect(cboPrinter_, &QComboBox::currentIndexChanged, this, &frmPrint::UpdateOk);
    connect(cmdOK_, &QPushButton::clicked, this, &frmPrint::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdSavePdf_, &QPushButton::clicked, this, &frmPrint::cmdSavePdf_Click);
    UpdateOk();
}

PrintChoice frmPrint::Choice() const {
    PrintChoice choice;
    choice.information = chkInformation_->isChecked();
    choice.chart = chkChart_->isChecked();
    choice.table = chkDatatable_->isChecked();
    choice.landscape = optLandscape_->isChecked();
    return choice;
}

void frmPrint::UpdateOk() {
    const bool enabled =
        PrintOkEnabled(Choice(), mode_ == Mode::Printer, cboPrinter_->currentIndex() >= 0);
    cmdOK_->setEnabled(enabled);
    cmdSavePdf_->setEnabled(PrintOkEnabled(Choice(), false, false));
}

bool frmPrint::cmdOK_Click() {
    if (!cmdOK_->isEnabled()) return false;
    hide();
    host_.RunPrintSettings().landscape = optLandscape_->isChecked();
    const bool ok = mode_ == Mode::Printer ? Print() : SavePdf();
    accept();
    return ok;
}

bool frmPrint::cmdSavePdf_Click() {
    if (!cmdSavePdf_->isEnabled()) return false;
    hide();
    host_.RunPrintSettings().landscape = optLandscape_->isChecked();
    const bool ok = SavePdf();
    accept();
    return ok;
}

bool frmPrint::Print() {
    const QString name = cboPrinter_->currentText();
    QPrinter printer(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
    host_.RunPrintSettings().printer = name;
    printer.setPageOrientation(optLandscape_->isChecked() ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait);
    host_.SetPrinting(true);
    document_.bPrinting = true;
    const bool ok = PrintDocument(
        printer, document_, chartSlots_, Choice(),
        [this](const QString& text) { host_.SetStatusText(text); },
        [this] { return document_.bExit; });
    if (!ok) printer.abort();
    document_.bPrinting = false;
    host_.SetPrinting(false);
    // A printer that took no page (gone from the system, its queue stopped)
    // is said; a window closed while it printed needs no word.
    if (!ok && !document_.bExit) host_.ShowMessage(MessageKeys::kCannotPrint);
    return ok;
}

bool frmPrint::SavePdf() {
    const QString path = host_.AskPdfFileName(PdfNameFor(document_));
    if (path.isEmpty()) return false;
    host_.SetPrinting(true);
    document_.bPrinting = true;
    QString error;
    const bool ok = WritePdf(path, document_, chartSlots_, Choice(), error);
    document_.bPrinting = false;
    host_.SetPrinting(false);
    if (!ok) host_.ShowMessage(MessageKeys::kCannotSavefile);
    return ok;
}

void frmPrint::done(int result) {
    QDialog::done(result);
    host_.MainFocus();
}
