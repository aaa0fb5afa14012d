#include "link/frmCommunicating.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/GuiCaptions.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "link/Link.h"

namespace {
constexpr int kBarScale = 1000;  // the bar counts in thousandths of its maximum
}

frmCommunicating::frmCommunicating(Link& link, QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), link_(link) {
    setObjectName(QStringLiteral("frmCommunicating"));
    setProperty("Tag", Str::Tag(Str::kCommunicatingTitle));
    setWindowModality(Qt::ApplicationModal);

    lblCommunicating_ = new QLabel(this);
    lblCommunicating_->setObjectName(QStringLiteral("lblCommunicating"));
    lblCommunicating_->setMinimumWidth(320);
    lblDetail_ = new QLabel(this);
    lblDetail_->setObjectName(QStringLiteral("lblDetail"));
    lblDetail_->setMinimumWidth(320);
    prgRead_ = new QProgressBar(this);
    prgRead_->setObjectName(QStringLiteral("prgRead"));
    prgRead_->setRange(0, kBarScale);
    prgRead_->setTextVisible(false);
    cmdCancel_ = new QPushButton(Str::Tag(Str::kButtonCancel), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setProperty("Tag", Str::Tag(Str::kButtonCancel));
    cmdCancel_->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCommunicating_);
    layout->addWidget(prgRead_);
    layout->addWidget(lblDetail_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ApplyCaptions(this);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmCommunicating::Cancel);
}

void frmCommunicating::Sync() {
    const CommunicationProgress& p = link_.Progress();
    if (!p.IsVisible()) {
        if (isVisible()) hide();
        if (!p.IsLoaded() && !lastMessage_.isNull()) {
            lastMessage_ = QString();
            emit StatusText(StringTable::Text(Str::kReady));
        }
        return;
    }
    if (!isVisible()) {
        // A new communication: Cancel works again.
        cmdCancel_->setEnabled(true);
        show();
        raise();
    }
    if (p.Message() != lastMessage_) {
        lastMessage_ = p.Message();
        lblCommunicating_->setText(lastMessage_);
        emit StatusText(lastMessage_);
    }
    const QString detail = p.DetailText();
    if (lblDetail_->text() != detail) lblDetail_->setText(detail);
    // While the instrument is awaited the bar runs as a busy bar, so the
    // window shows life even when no step can be counted.
    if (p.ShowsWaiting()) {
        if (prgRead_->maximum() != 0) prgRead_->setRange(0, 0);
        return;
    }
    if (prgRead_->maximum() != kBarScale) prgRead_->setRange(0, kBarScale);
    const int value = p.Maximum() > 0 ? static_cast<int>(p.Value() / p.Maximum() * kBarScale) : 0;
    if (prgRead_->value() != value) prgRead_->setValue(std::clamp(value, 0, kBarScale));
}

void frmCommunicating::Cancel() {
    emit StatusText(StringTable::Text(Str::kCancellingCommunication));
    link_.Cancel();
    cmdCancel_->setEnabled(false);
}

void frmCommunicating::closeEvent(QCloseEvent* event) {
    // Closing the window is cancelling.
    if (cmdCancel_->isEnabled()) Cancel();
    event->ignore();
}

void frmCommunicating::keyPressEvent(QKeyEvent* event) {
    // Esc would close a dialog; here only the button cancels.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
