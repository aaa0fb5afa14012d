#include "base/GuiImages.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// One palette for every image, so the toolbar looks of a piece.
const QColor kInk(40, 52, 70);
const QColor kPaper(250, 250, 245);
const QColor kBlue(40, 110, 190);
const QColor kGreen(40, 150, 80);
const QColor kRed(200, 50, 45);
const QColor kAmber(230, 160, 30);

void Page(QPainter& p, QRectF r) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawPath(path);
}

void Magnifier(QPainter& p, const QString& mark, bool box) {
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(QColor(220, 235, 250));
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.setPen(QPen(kInk, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
    p.setPen(QPen(kBlue, 1.6));
    if (mark == QLatin1String("+") || mark == QLatin1String("-"))
        p.drawLine(QPointF(3.5, 6), QPointF(8.5, 6));
    if (mark == QLatin1String("+")) p.drawLine(QPointF(6, 3.5), QPointF(6, 8.5));
    if (box) {
        p.setPen(QPen(kBlue, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(3.5, 3.5, 5, 5));
    }
}

void Chart(QPainter& p, QRectF r, const QColor& color) {
    p.setPen(QPen(color, 1.3));
    QPolygonF line;
    line << QPointF(r.left(), r.bottom() - 1)
         << QPointF(r.left() + r.width() * 0.3, r.top() + r.height() * 0.45)
         << QPointF(r.left() + r.width() * 0.55, r.top() + r.height() * 0.7)
         << QPointF(r.right(), r.top());
    p.drawPolyline(line);
}

void Draw(QPainter& p, const QString& key) {
    if (key == QLatin1String("Open")) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(kAmber.lighter(130));
        p.drawRect(QRectF(1.5, 4.5, 12, 9));
        p.setBrush(kAmber);
        QPolygonF flap;
        flap << QPointF(1.5, 13.5) << QPointF(4.5, 7.5) << QPointF(15.5, 7.5)
             << QPointF(12.5, 13.5);
        p.drawPolygon(flap);
        p.setPen(QPen(kInk, 1));
        p.drawLine(QPointF(1.5, 4.5), QPointF(4.5, 2.5));
        p.drawLine(QPointF(4.5, 2.5), QPointF(7.5, 4.5));
    } else if (key == QLatin1String("Save")) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
        p.setBrush(kPaper);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(200, 210, 225));
        p.drawRect(QRectF(3.5, 9.5, 9, 5));
        p.fillRect(QRectF(9, 2.5, 1.5, 3), kInk);
    } else if (key == QLatin1String("Print")) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(kPaper);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(170, 180, 195));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
        p.setBrush(kPaper);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        p.fillRect(QRectF(12, 8, 1.5, 1.5), kGreen);
    } else if (key == QLatin1String("Copy")) {
        Page(p, QRectF(1.5, 1.5, 8, 10));
        Page(p, QRectF(6.5, 4.5, 8, 10));
        p.setPen(QPen(kBlue, 1));
        for (int y = 8; y <= 12; y += 2) p.drawLine(QPointF(8.5, y + 0.5), QPointF(12.5, y + 0.5));
    } else if (key == QLatin1String("Zoom In") || key == QLatin1String("InZoom")) {
        Magnifier(p, QStringLiteral("+"), false);
    } else if (key == QLatin1String("Zoom Out") || key == QLatin1String("OutZoom")) {
        Magnifier(p, QStringLiteral("-"), false);
    } else if (key == QLatin1String("Show All")) {
        Magnifier(p, QString(), true);
    } else if (key == QLatin1String("Info")) {
        p.setPen(QPen(kBlue.darker(120), 1));
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(7, 3.5, 2, 2));
        p.drawRect(QRectF(7, 6.5, 2, 6));
    } else if (key == QLatin1String("Realtime")) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setPen(QPen(kRed, 1.5));
        QPolygonF wave;
        for (int x = 0; x <= 10; ++x) wave << QPointF(3 + x, 8 + ((x % 4 < 2) ? -3 : 3) * (x % 2));
        p.drawPolyline(wave);
        p.setPen(QPen(kGreen, 1));
        p.setBrush(kGreen);
        p.drawEllipse(QRectF(11, 2.5, 2.5, 2.5));
    } else if (key == QLatin1String("Download")) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(200, 210, 225));
        p.drawRect(QRectF(1.5, 10.5, 13, 4));
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        QPolygonF arrow;
        arrow << QPointF(6, 1) << QPointF(10, 1) << QPointF(10, 6) << QPointF(13, 6)
              << QPointF(8, 11) << QPointF(3, 6) << QPointF(6, 6);
        p.drawPolygon(arrow);
    } else if (key == QLatin1String("Delete")) {
        // A waste bin: lid with its handle, a tapering body with ribs. A red
        // cross would read as "close".
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(170, 180, 195));
        p.drawRect(QRectF(6, 0.8, 4, 1.7));
        p.drawRoundedRect(QRectF(1.5, 2.5, 13, 2.5), 0.8, 0.8);
        QPolygonF body;
        body << QPointF(3, 5) << QPointF(13, 5) << QPointF(12, 15) << QPointF(4, 15);
        p.setBrush(QColor(200, 210, 225));
        p.drawPolygon(body);
        p.setPen(QPen(kInk.lighter(160), 1.1, Qt::SolidLine, Qt::RoundCap));
        for (double x : {5.8, 8.0, 10.2})
            p.drawLine(QPointF(x, 7), QPointF(x + (x - 8.0) * 0.08, 13.2));
    } else if (key == QLatin1String("Document")) {
        Page(p, QRectF(2.5, 1.5, 11, 13));
        Chart(p, QRectF(4.5, 5, 7, 7), kBlue);
    } else if (key == QLatin1String("Application")) {
        // The indicator: a handheld body with a display and a curve.
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(60, 75, 95));
        p.drawRoundedRect(QRectF(2.5, 0.5, 11, 15), 2, 2);
        p.setBrush(QColor(190, 230, 200));
        p.drawRect(QRectF(4, 2.5, 8, 6));
        Chart(p, QRectF(4.5, 3.5, 7, 4), kInk);
        p.setPen(Qt::NoPen);
        p.setBrush(kAmber);
        p.drawEllipse(QRectF(5, 10.5, 2.5, 2.5));
        p.drawEllipse(QRectF(8.5, 10.5, 2.5, 2.5));
    }
}

}  // namespace

void DrawImage(QPainter& painter, const QString& key) {
    Draw(painter, key);
}

QStringList ToolbarImageKeys() {
    return {"Open",   "Realtime", "Save",   "Copy",    "Zoom In",  "Zoom Out", "Show All",   "Info",
            "Delete", "Print",    "InZoom", "OutZoom", "Download", "Document", "Application"};
}

QPixmap ToolbarPixmap(const QString& key, int size) {
    if (!ToolbarImageKeys().contains(key)) return {};
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    Draw(p, key);
    return pixmap;
}

QIcon ToolbarImage(const QString& key) {
    if (!ToolbarImageKeys().contains(key)) return {};
    QIcon icon;
    icon.addPixmap(ToolbarPixmap(key, 16));
    icon.addPixmap(ToolbarPixmap(key, 32));
    return icon;
}

QPixmap BuiltInLogo() {
    QPixmap logo(400, 300);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(28, 58, 98));
    sky.setColorAt(1, QColor(70, 130, 180));
    p.fillRect(logo.rect(), sky);
    // A measurement curve across the picture.
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    for (int x = 20; x < 400; x += 40) p.drawLine(x, 150, x, 280);
    for (int y = 160; y < 290; y += 30) p.drawLine(0, y, 400, y);
    QPainterPath curve;
    curve.moveTo(0, 250);
    curve.cubicTo(90, 170, 150, 280, 230, 210);
    curve.cubicTo(300, 150, 340, 200, 400, 165);
    p.setPen(QPen(QColor(250, 200, 70), 3));
    p.drawPath(curve);
    QFont title(QStringLiteral("Sans Serif"));
    title.setPixelSize(52);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(24, 30, 360, 70), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("TR58 Link"));
    p.translate(330, 40);
    p.scale(3, 3);
    Draw(p, QStringLiteral("Application"));
    return logo;
}
