#include "realtime/frmRealTimeDisplaySettings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/GuiCaptions.h"
#include "base/StringIds.h"
#include "link/Link.h"
#include "realtime/RealTimeSettingsHost.h"

namespace {
QLabel* Caption(QWidget* parent, Str::Id tag, QWidget* buddy) {
    auto* label = new QLabel(parent);
    label->setProperty("Tag", Str::Tag(tag));
    label->setBuddy(buddy);
    return label;
}
}  // namespace

frmRealTimeDisplaySettings::frmRealTimeDisplaySettings(RealTimeSettingsHost& host)
    : QDialog(host.HostWindow()), host_(host) {
    setObjectName(QStringLiteral("frmRealTimeDisplaySettings"));
    setProperty("Tag", Str::Tag(Str::kRealTimeSettingsTitle));
    if (host.HostWindow()) setWindowIcon(host.HostWindow()->windowIcon());

    lstQuantities_ = new QListWidget(this);
    lstQuantities_->setObjectName(QStringLiteral("lstQuantities"));
    lstQuantities_->setSelectionMode(QAbstractItemView::MultiSelection);
    lstQuantities_->setMinimumSize(150, 150);

    auto* unitsHeading = new QLabel(this);
    unitsHeading->setProperty("Tag", Str::Tag(Str::kChooseUnits));
    auto* slotGrid = new QGridLayout;
    for (int s = 0; s < UnitSelection::kSlotCount; ++s) {
        lblSelect_[s] = new QLabel(this);
        lblSelect_[s]->setObjectName(QStringLiteral("lblSelect%1").arg(s));
        lblSelect_[s]->setMinimumWidth(80);
        cboSelect_[s] = new QComboBox(this);
        cboSelect_[s]->setObjectName(QStringLiteral("cboSelect%1").arg(s));
        cboSelect_[s]->setMinimumWidth(110);
        slotGrid->addWidget(lblSelect_[s], s, 0);
        slotGrid->addWidget(cboSelect_[s], s, 1);
        connect(cboSelect_[s], &QComboBox::activated, this,
                [this, s](int entry) { selection_.ChooseUnit(s, entry); });
    }
    unitsHeading->setBuddy(cboSelect_[0]);

    cboInterval_ = new QComboBox(this);
    cboInterval_->setObjectName(QStringLiteral("cboInterval"));
    for (const IntervalEntry& entry : kIntervals)
        cboInterval_->addItem(QString::fromUtf8(entry.text));
    connect(cboInterval_, &QComboBox::activated, this,
            [this](int entry) { selection_.ChooseInterval(entry); });

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    cmdOK_ = AddCaptionedButton(buttons, "cmdOK", Str::kButtonOk, QDialogButtonBox::AcceptRole);
    cmdOK_->setDefault(true);
    cmdCancel_ =
        AddCaptionedButton(buttons, "cmdCancel", Str::kButtonCancel, QDialogButtonBox::RejectRole);
    connect(cmdOK_, &QPushButton::clicked, this, &frmRealTimeDisplaySettings::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmRealTimeDisplaySettings::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(Caption(this, Str::kChooseQuantities, lstQuantities_));
    left->addWidget(lstQuantities_, 1);
    auto* middle = new QVBoxLayout;
    middle->addWidget(unitsHeading);
    middle->addLayout(slotGrid);
    middle->addSpacing(10);
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(Caption(this, Str::kUpdateInterval, cboInterval_));
    intervalRow->addWidget(cboInterval_, 1);
    middle->addLayout(intervalRow);
    middle->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(middle);
    layout->addWidget(buttons);

    ApplyCaptions(this);
    connect(lstQuantities_, &QListWidget::itemSelectionChanged, this,
            &frmRealTimeDisplaySettings::lstQuantities_SelectionChanged);
}

bool frmRealTimeDisplaySettings::Load() {
    loaded_ = true;
    readable_ = false;
    Link& link = host_.GetLink();
    QList<QuantityChoice> quantities;
    if (ReadQuantityTable(link, quantities) != UnitReadResult::Read) {
        // The link has said why (or "No Probe"); the dialog closes at once.
        Finish();
        return false;
    }
    selection_.Load(quantities, link.RealTimeInterval());
    lstQuantities_->blockSignals(true);
    lstQuantities_->clear();
    for (int q = 0; q < selection_.Quantities().size(); ++q) {
        auto* item = new QListWidgetItem(selection_.Quantities().at(q).ShownName(), lstQuantities_);
        item->setSelected(selection_.IsSelected(q));
    }
    lstQuantities_->blockSignals(false);
    cboInterval_->setCurrentIndex(selection_.IntervalIndex());
    ShowSlots();
    readable_ = true;
    return true;
}

int frmRealTimeDisplaySettings::exec() {
    if (!loaded_) Load();
    if (!readable_) return QDialog::Rejected;
    return QDialog::exec();
}

void frmRealTimeDisplaySettings::lstQuantities_SelectionChanged() {
    // The list tells only that its selection changed: find the item the user
    // clicked and let the rules decide (a fourth one is deselected again).
    for (int q = 0; q < lstQuantities_->count(); ++q) {
        QListWidgetItem* item = lstQuantities_->item(q);
        if (item->isSelected() == selection_.IsSelected(q)) continue;
        if (!selection_.Select(q, item->isSelected())) {
            const QSignalBlocker block(lstQuantities_);
            item->setSelected(false);
        }
    }
    ShowSlots();
}

void frmRealTimeDisplaySettings::ShowSlots() {
    for (int s = 0; s < UnitSelection::kSlotCount; ++s) {
        const UnitSelection::Slot& slot = selection_.Slots()[s];
        const QSignalBlocker block(cboSelect_[s]);
        lblSelect_[s]->setText(slot.label);
        cboSelect_[s]->clear();
        cboSelect_[s]->setVisible(slot.Shown());
        if (!slot.Shown()) continue;
        cboSelect_[s]->addItems(slot.units);
        cboSelect_[s]->setCurrentIndex(slot.current);
    }
}

void frmRealTimeDisplaySettings::cmdOK_Click() {
    cmdOK_->setEnabled(false);
    if (selection_.Apply(host_) == UnitSelection::OkResult::Busy) {
        // A real-time poll has the link: the user may try again.
        cmdOK_->setEnabled(true);
        return;
    }
    Finish();
    QDialog::accept();
}

void frmRealTimeDisplaySettings::reject() {
    Finish();
    QDialog::reject();
}

void frmRealTimeDisplaySettings::Finish() {
    Link& link = host_.GetLink();
    link.ClearFailed();
    // Closed while a real-time poll waits for its reply: the link is the poll's, which ends
    // its own command. Ending it here stopped the poll's wait and lost its reading.
    if (!link.IsRealTimeBusy()) {
        if (link.IsCommunicating()) link.Progress().Unload();
        link.EndSequence();
    }
    host_.MainFocus();
}
