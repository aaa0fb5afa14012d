#include "chart/ChartSlots.h"

#include <algorithm>

#include "document/Document.h"

QColor ChartSlots::Colour(int slot) {
    switch (slot) {
        case 0:
            return QColor(255, 0, 0);
        case 1:
            return QColor(0, 192, 0);
        case 2:
            return QColor(0, 0, 255);
        default:
            return QColor();
    }
}

int ChartSlots::SlotOf(int q) const {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (quantity_[slot] == q && q >= 0) return slot;
    }
    return -1;
}

int ChartSlots::QuantityIn(int slot) const {
    return slot >= 0 && slot < kSlotCount ? quantity_[slot] : -1;
}

QColor ChartSlots::ColourOf(int q) const {
    return Colour(SlotOf(q));
}

bool ChartSlots::Tick(int q) {
    if (q < 0) return false;
    if (SlotOf(q) >= 0) return true;
    for (int& held : quantity_) {
        if (held < 0) {
            held = q;
            return true;
        }
    }
    return false;
}

void ChartSlots::Untick(int q) {
    for (int& held : quantity_) {
        if (held == q) held = -1;
    }
}

void ChartSlots::Clear() {
    quantity_.fill(-1);
}

void ChartSlots::Sync(const Document& document) {
    const int count = document.QuantityCount();
    for (int& held : quantity_) {
        if (held >= count || (held >= 0 && !document.IsCharted(held))) held = -1;
    }
    for (int q = 0; q < count; ++q) {
        if (document.IsCharted(q)) Tick(q);
    }
}

QList<int> ChartSlots::DrawnQuantities() const {
    QList<int> drawn;
    for (int held : quantity_) {
        if (held >= 0) drawn.append(held);
    }
    std::sort(drawn.begin(), drawn.end());
    return drawn;
}
