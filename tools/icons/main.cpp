// tr58-icons OUTDIR SIZE...: the desktop's icons in the hicolor theme, painted by the same code
// as the program's toolbar images and logo ("Application" for TR58 Link, "Document" for its .t58
// files) and as Cablewatch's window icon. Each becomes OUTDIR/hicolor/scalable/<kind>/<name>.svg
// and OUTDIR/hicolor/<size>x<size>/<kind>/<name>.png for every SIZE.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>
#include <functional>

#include "base/GuiImages.h"
#include "cablewatch/CableIcons.h"

namespace {

struct Icon {
    const char* kind;  // the theme's context folder: apps, mimetypes
    const char* name;  // the icon name the .desktop and MIME files give
    const char* title;
    std::function<void(QPainter&)> draw;  // into the square (0, 0, 16, 16)
};

const Icon kIcons[] = {
    {"apps", "tr58link", "TR58 Link",
     [](QPainter& p) { DrawImage(p, QStringLiteral("Application")); }},
    {"mimetypes", "application-x-tr58", "TR58 data file",
     [](QPainter& p) { DrawImage(p, QStringLiteral("Document")); }},
    {"apps", "cablewatch", "Cablewatch", [](QPainter& p) { cablewatch::DrawWindowIcon(p); }},
};

// The vector form: the pictures are paths and strokes, so the SVG is as sharp as the code.
constexpr int kSvgSize = 256;

bool WriteSvg(const Icon& icon, const QString& path) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(kSvgSize, kSvgSize));
    svg.setViewBox(QRect(0, 0, kSvgSize, kSvgSize));
    svg.setTitle(QString::fromUtf8(icon.title));
    QPainter p;
    if (!p.begin(&svg)) return false;
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(kSvgSize / 16.0, kSvgSize / 16.0);
    icon.draw(p);
    return p.end();
}

bool WritePng(const Icon& icon, int size, const QString& path) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    icon.draw(p);
    p.end();
    return image.save(path, "PNG");
}

bool MakeFolderFor(const QString& path) {
    return QDir().mkpath(QFileInfo(path).absolutePath());
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: tr58-icons OUTDIR SIZE...\n");
        return 2;
    }
    const QDir out(args.takeFirst());
    QList<int> sizes;
    for (const QString& word : args) {
        bool ok = false;
        const int size = word.toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "tr58-icons: not a size: %s\n", qPrintable(word));
            return 2;
        }
        sizes << size;
    }
    for (const Icon& icon : kIcons) {
        const QString tail = QStringLiteral("/%1/%2").arg(icon.kind, icon.name);
        const QString svg = out.filePath(QStringLiteral("hicolor/scalable") + tail + ".svg");
        if (!MakeFolderFor(svg) || !WriteSvg(icon, svg)) {
            std::fprintf(stderr, "tr58-icons: cannot write %s\n", qPrintable(svg));
            return 1;
        }
        for (int size : sizes) {
            const QString png =
                out.filePath(QStringLiteral("hicolor/%1x%1").arg(size) + tail + ".png");
            if (!MakeFolderFor(png) || !WritePng(icon, size, png)) {
                std::fprintf(stderr, "tr58-icons: cannot write %s\n", qPrintable(png));
                return 1;
            }
        }
    }
    return 0;
}
