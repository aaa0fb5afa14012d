#include "app/frmAbout.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/GuiLogo.h"
#include "base/Branding.h"
#include "base/GuiCaptions.h"
#include "base/GuiImages.h"
#include "base/StringIds.h"

frmAbout::frmAbout(const Branding& branding, const QString& programFolder, QWidget* owner)
    : QDialog(owner) {
    setObjectName(QStringLiteral("frmAbout"));
    setProperty("Tag", Str::Tag(Str::kAboutTitle));

    const LogoParts parts = AddLogoParts(this, programFolder);
    QLabel* imgLogo = parts.logo;
    QLabel* label1 = parts.label1;
    label2_ = parts.label2;
    label2_->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        AddCaptionedButton(buttons, "cmdOK", Str::kButtonOk, QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(imgLogo);
    layout->addWidget(label1);
    layout->addWidget(label2_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ApplyCaptions(this);
    if (!branding.COPYRIGHT.isEmpty()) label2_->setText(branding.COPYRIGHT);
    if (!branding.ABOUT.isEmpty()) setWindowTitle(branding.ABOUT);
    if (owner) setWindowIcon(owner->windowIcon());
    // Esc closes it, as every dialog does.
}
