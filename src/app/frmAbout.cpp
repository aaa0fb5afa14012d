#include "app/frmAbout.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Branding.h"
#include "app/GuiCaptions.h"
#include "app/GuiImages.h"

frmAbout::frmAbout(const Branding& branding, const QString& programFolder, QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmAbout"));
    setProperty("Tag", QStringLiteral("5041"));

    auto* imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setFixedSize(400, 300);
    imgLogo->setScaledContents(true);
    imgLogo->setPixmap(ProgramLogo(programFolder));

    auto* label1 = new QLabel(this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setProperty("Tag", QStringLiteral("5042"));
    label2_ = new QLabel(this);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setProperty("Tag", QStringLiteral("5043"));
    label2_->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("5023"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setProperty("Tag", QStringLiteral("5023"));
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
