#include "app/WindowPlacement.h"

#include <algorithm>

QRect FirstStartGeometry(const QRect& available, const QSize& minimum) {
    const int width = std::min(std::max(available.width() * 3 / 4, minimum.width()),
                               std::max(available.width(), 1));
    const int height = std::min(std::max(available.height() * 3 / 4, minimum.height()),
                                std::max(available.height(), 1));
    return {available.left() + (available.width() - width) / 2,
            available.top() + (available.height() - height) / 2, width, height};
}

QRect CascadedWindowGeometry(const QSize& area, int index, int step,
                             const QSize& preferredMinimum) {
    const int areaWidth = std::max(area.width(), 1);
    const int areaHeight = std::max(area.height(), 1);
    const int width = std::min(std::max(areaWidth * 3 / 4, preferredMinimum.width()), areaWidth);
    const int height =
        std::min(std::max(areaHeight * 3 / 4, preferredMinimum.height()), areaHeight);
    step = std::max(step, 1);
    // How many places fit before a window would reach past the right or bottom edge.
    const int places = std::min((areaWidth - width) / step, (areaHeight - height) / step) + 1;
    const int k = std::max(index, 0) % places;
    return {k * step, k * step, width, height};
}
