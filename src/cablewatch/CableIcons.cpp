#include "cablewatch/CableIcons.h"

#include <QPainter>
#include <QPainterPath>

#include "cablewatch/CablewatchTexts.h"

namespace cablewatch {

namespace {

// A USB plug with its cable, drawn in a 16-unit square.
void DrawCable(QPainter& p) {
    p.setPen(QPen(QColor(70, 70, 70), 0.8));
    p.setBrush(QColor(215, 218, 222));
    p.drawRect(QRectF(0.5, 5, 5, 6));
    p.setBrush(QColor(90, 90, 90));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(1.5, 6.5, 1.5, 1));
    p.drawRect(QRectF(1.5, 8.5, 1.5, 1));
    p.setPen(QPen(QColor(30, 45, 70), 0.8));
    p.setBrush(QColor(52, 86, 140));
    p.drawRoundedRect(QRectF(5.5, 3.5, 6, 9), 1.5, 1.5);
    p.setPen(QPen(QColor(25, 25, 25), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11.5, 8), QPointF(15.2, 8));
}

void DrawDisabledMark(QPainter& p) {
    p.setPen(QPen(QColor(40, 40, 40), 0.8));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(8.5, 8.5, 7, 7));
    QPainterPath arrow;
    arrow.moveTo(10.2, 10.8);
    arrow.lineTo(13.8, 10.8);
    arrow.lineTo(12, 13.8);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 20));
    p.drawPath(arrow);
}

void DrawWarningMark(QPainter& p) {
    QPainterPath triangle;
    triangle.moveTo(12, 8);
    triangle.lineTo(15.7, 15.5);
    triangle.lineTo(8.3, 15.5);
    triangle.closeSubpath();
    p.setPen(QPen(QColor(120, 90, 0), 0.8));
    p.setBrush(QColor(255, 204, 0));
    p.drawPath(triangle);
    p.setPen(QPen(Qt::black, 1.2));
    p.drawLine(QPointF(12, 10.5), QPointF(12, 13));
    p.drawPoint(QPointF(12, 14.5));
}

// ghosted: the cable drawn see-through, as the list view shows an absent
// item; the state mark stays readable.
QPixmap Draw(int index, int size, bool ghosted = false) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.setOpacity(ghosted ? 0.35 : 1.0);
    DrawCable(p);
    p.setOpacity(ghosted ? 0.8 : 1.0);
    if (index == kIconDisabled) DrawDisabledMark(p);
    if (index == kIconDriverProblem) DrawWarningMark(p);
    return pixmap;
}

}  // namespace

QIcon ListIcon(int index) {
    QIcon icon;
    for (int size : {16, 32}) icon.addPixmap(Draw(index, size));
    return icon;
}

QPixmap GhostedPixmap(int index, int size) {
    return Draw(index, size, true);
}

QIcon WindowIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addPixmap(Draw(kIconNormal, size));
    return icon;
}

void DrawWindowIcon(QPainter& painter) {
    DrawCable(painter);
}

QPixmap LogoPixmap() {
    QPixmap pixmap(112, 30);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 58, 112));
    p.drawRoundedRect(QRectF(0.5, 0.5, 111, 29), 5, 5);
    p.setBrush(QColor(236, 152, 32));
    p.drawEllipse(QRectF(7, 8, 14, 14));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(15);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(26, 0, 84, 30), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("HALVION"));
    return pixmap;
}

}  // namespace cablewatch
