#pragma once
// The program's pictures, drawn in code so they stay sharp at any scale: the
// fifteen toolbar images (16 x 16, by key: "Open", "Realtime", "Save",
// "Copy", "Zoom In", "Zoom Out", "Show All", "Info", "Delete", "Print",
// "InZoom", "OutZoom", "Download", "Document", "Application") and the built-in
// logo of the splash and About windows.

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStringList>

QStringList ToolbarImageKeys();
// The image of key at 16 x 16 (and 32 x 32 for high-resolution screens);
// a null icon for an unknown key.
QIcon ToolbarImage(const QString& key);
QPixmap ToolbarPixmap(const QString& key, int size);
// The logo: 400 x 300 pixels.
QPixmap BuiltInLogo();
// Paints the image of key into the square (0, 0, 16, 16) of the painter's coordinates, scaled as
// the painter is: the toolbar, the logo and the desktop's icons (tools/icons) share it.
void DrawImage(QPainter& painter, const QString& key);
