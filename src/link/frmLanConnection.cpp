#include "link/frmLanConnection.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "base/GuiCaptions.h"
#include "base/StringIds.h"
#include "link/LanHostList.h"
#include "link/Link.h"

frmLanConnection::frmLanConnection(Link& link, QWidget* parent) : QDialog(parent), link_(link) {
    setObjectName(QStringLiteral("frmLanConnection"));
    setProperty("Tag", Str::Tag(Str::kLanConnectionTitle));
    if (parent) setWindowIcon(parent->windowIcon());

    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("lblIp"));
    label->setProperty("Tag", Str::Tag(Str::kLanHostLabel));
    cboIp_ = new QComboBox(this);
    cboIp_->setObjectName(QStringLiteral("cboIp"));
    cboIp_->setEditable(true);
    cboIp_->setInsertPolicy(QComboBox::NoInsert);
    cboIp_->setMinimumWidth(240);
    label->setBuddy(cboIp_);
    auto* portLabel = new QLabel(QStringLiteral("TCP:"), this);
    txtPort_ = new QLineEdit(QStringLiteral("23"), this);
    txtPort_->setObjectName(QStringLiteral("txtPort"));
    txtPort_->setValidator(new QIntValidator(1, 65535, txtPort_));
    txtPort_->setMaximumWidth(80);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        AddCaptionedButton(buttons, "cmdOK", Str::kButtonOk, QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    QPushButton* cancel =
        AddCaptionedButton(buttons, "cmdCancel", Str::kButtonCancel, QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    row->addWidget(cboIp_, 1);
    row->addWidget(portLabel);
    row->addWidget(txtPort_);
    layout->addLayout(row);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ApplyCaptions(this);

    const LinkState& s = link_.State();
    selected_ = s.LanSelection;
    const QStringList hosts = LanHostNames(s);
    cboIp_->addItems(hosts.isEmpty() ? QStringList{QString()} : hosts);
    if (selected_ >= 1 && selected_ <= cboIp_->count()) {
        cboIp_->setCurrentIndex(selected_ - 1);
        ChooseListItem(selected_ - 1);
    } else {
        cboIp_->setCurrentIndex(-1);
        cboIp_->setEditText(QString());
    }
    connect(cboIp_, &QComboBox::activated, this, &frmLanConnection::ChooseListItem);
    connect(ok, &QPushButton::clicked, this, &frmLanConnection::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, [this] {
        result_ = 0;
        reject();
    });
}

void frmLanConnection::ChooseListItem(int index) {
    if (index < 0 || index >= 8) return;
    const LanHost& host = link_.State().LanHosts[static_cast<size_t>(index)];
    if (!host.host.isEmpty()) txtPort_->setText(QString::number(host.port));
}

void frmLanConnection::cmdOK_Click() {
    const QString host = cboIp_->currentText().trimmed();
    if (host.isEmpty()) {
        QMessageBox empty(QMessageBox::NoIcon, link_.Context().title,
                          QStringLiteral("Hostname or IP address can't be empty."), QMessageBox::Ok,
                          this);
        empty.exec();
        cboIp_->setFocus();
        return;
    }
    if (!link_.ReleaseForChange()) return;
    bool ok = false;
    int port = txtPort_->text().toInt(&ok);
    if (!ok || port < 1 || port > 65535) port = 23;
    selected_ = AcceptLanHost(link_.State(), host, port);
    link_.SelectLan(selected_);
    result_ = PortTarget::kLanPort;
    accept();
}
