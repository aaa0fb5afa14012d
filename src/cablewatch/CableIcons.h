#pragma once
// Cablewatch's pictures, drawn rather than shipped: the three list icons, the
// window icon, the maker's logo and the administrator shield.

#include <QIcon>
#include <QPixmap>

namespace cablewatch {

// 1 normal cable, 2 disabled cable, 3 cable with a driver problem.
QIcon ListIcon(int index);
// The same icon as drawn for a cable that is not plugged in now.
QPixmap GhostedPixmap(int index, int size = 16);
QIcon WindowIcon();
QPixmap LogoPixmap();
QIcon ShieldIcon();

}  // namespace cablewatch
