#pragma once
// Cablewatch's pictures, drawn rather than shipped: the three list icons, the
// window icon, and the maker's logo.

#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace cablewatch {

// 1 normal cable, 2 disabled cable, 3 cable with a driver problem.
QIcon ListIcon(int index);
// The same icon as drawn for a cable that is not plugged in now.
QPixmap GhostedPixmap(int index, int size = 16);
QIcon WindowIcon();
// Paints the window icon's cable into the square (0, 0, 16, 16) of the painter's coordinates
// (the desktop's icon of Cablewatch is made from it by tools/icons).
void DrawWindowIcon(QPainter& painter);
QPixmap LogoPixmap();

}  // namespace cablewatch
