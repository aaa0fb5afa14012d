#pragma once
// Where the program's windows go when nothing stored says so: the main window
// at its first start, and each new document window in the work area.

#include <QRect>
#include <QSize>

// The main window at a first start: three quarters of the screen's free area
// each way, centred on it, and never smaller than minimum (nor larger than the
// area). A stored place wins from then on.
QRect FirstStartGeometry(const QRect& available, const QSize& minimum);

// The place of the index-th new document window (0 = first) in a work area of
// size area: cascaded by step down and right from the top left corner, three
// quarters of the area each way (at least preferredMinimum where the area
// allows), always wholly inside the area so no scroll bar appears; when the
// next step would leave the area the cascade starts again at the corner.
QRect CascadedWindowGeometry(const QSize& area, int index, int step, const QSize& preferredMinimum);
