#include "app/frmSplash.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "app/GuiLogo.h"
#include "base/Branding.h"
#include "base/GuiCaptions.h"
#include "base/GuiImages.h"

frmSplash::frmSplash(const Branding& branding, const QString& programFolder)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(400, 300);

    // The logo fills the window; the labels lie on it.
    const LogoParts parts = AddLogoParts(this, programFolder);
    QLabel* label1 = parts.label1;
    label2_ = parts.label2;
    ApplyCaptions(this);
    if (!branding.COPYRIGHT.isEmpty()) label2_->setText(branding.COPYRIGHT);

    // Both labels right-aligned near the bottom edge.
    for (QLabel* label : {label1, label2_}) {
        label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
        label->adjustSize();
    }
    const int margin = 13;  // about 200 twips
    label1->move(width() - label1->width() - margin, 230);
    label2_->move(width() - label2_->width() - margin, 230 + label1->height() + 4);

    tmrSplash_ = new QTimer(this);
    tmrSplash_->setSingleShot(true);
    tmrSplash_->setInterval(2500);
    connect(tmrSplash_, &QTimer::timeout, this, &frmSplash::Finish);
    tmrSplash_->start();

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void frmSplash::mousePressEvent(QMouseEvent*) {
    Finish();
}

void frmSplash::Finish() {
    tmrSplash_->stop();
    close();
}
