#include "instrument/frmDeviceInformation.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/GuiCaptions.h"
#include "base/StringIds.h"
#include "link/Link.h"

namespace {
QLineEdit* ReadOnlyBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setMinimumWidth(260);
    return box;
}

QLabel* Caption(QWidget* parent, Str::Id tag, QWidget* buddy) {
    auto* label = new QLabel(parent);
    label->setProperty("Tag", Str::Tag(tag));
    label->setBuddy(buddy);
    return label;
}
}  // namespace

frmDeviceInformation::frmDeviceInformation(Link& link, QWidget* parent)
    : QDialog(parent), link_(link) {
    setObjectName(QStringLiteral("frmDeviceInformation"));
    setProperty("Tag", Str::Tag(Str::kDeviceInformationTitle));
    if (parent) setWindowIcon(parent->windowIcon());

    txtType_ = ReadOnlyBox(this, "txtType");
    txtVersion_ = ReadOnlyBox(this, "txtVersion");
    txtNumber_ = ReadOnlyBox(this, "txtNumber");
    txtSnumber_ = ReadOnlyBox(this, "txtSnumber");
    txtCalib_ = ReadOnlyBox(this, "txtCalib");
    auto* form = new QFormLayout;
    form->addRow(Caption(this, Str::kDeviceType, txtType_), txtType_);
    form->addRow(Caption(this, Str::kDeviceVersion, txtVersion_), txtVersion_);
    form->addRow(Caption(this, Str::kDeviceSerialNumber, txtNumber_), txtNumber_);
    form->addRow(Caption(this, Str::kProbeSerialNumber, txtSnumber_), txtSnumber_);
    form->addRow(Caption(this, Str::kCalibrationDate, txtCalib_), txtCalib_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        AddCaptionedButton(buttons, "cmdOK", Str::kButtonOk, QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ApplyCaptions(this);
}

bool frmDeviceInformation::Load() {
    loaded_ = true;
    if (!link_.WaitLinkIdleOrSay()) return false;
    info_ = ReadDeviceInformation(link_);
    txtType_->setText(info_.type);
    txtVersion_->setText(info_.version);
    txtNumber_->setText(info_.number);
    txtSnumber_->setText(info_.snumber);
    txtCalib_->setText(info_.calib);
    return info_.versRead;
}

int frmDeviceInformation::exec() {
    // A dialog that could not read the instrument closes itself: the link has
    // already said why.
    if (!loaded_ && !Load()) return QDialog::Rejected;
    if (!info_.versRead) return QDialog::Rejected;
    return QDialog::exec();
}
