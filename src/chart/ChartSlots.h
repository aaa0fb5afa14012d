#pragma once
// The chart's three colour slots. Every quantity on the chart holds one slot;
// its curve, its axis and its legend line on the information page take the
// slot's colour. Ticking a quantity's check box gives it the lowest free slot,
// unticking frees it, so the colours of the others stay where they were.

#include <QColor>
#include <QList>
#include <array>

class Document;

class ChartSlots {
public:
    static constexpr int kSlotCount = 3;

    // Red, green and blue.
    static QColor Colour(int slot);

    // The slot of quantity q; -1 when it is not on the chart.
    int SlotOf(int q) const;
    // The quantity in a slot; -1 when the slot is free.
    int QuantityIn(int slot) const;
    // The colour of quantity q; invalid when it is not on the chart.
    QColor ColourOf(int q) const;

    // Gives q the lowest free slot. True when q holds a slot afterwards; false
    // when all three are taken by others (a fourth tick is refused).
    bool Tick(int q);
    void Untick(int q);
    void Clear();

    // Follows the document's check boxes (Document::IsCharted): quantities no
    // longer charted free their slots, then newly charted ones take the lowest
    // free slot, in quantity order. Called after every change of the boxes, it
    // keeps the order in which they were ticked.
    void Sync(const Document& document);

    // The quantities on the chart, in quantity order: the drawing order.
    QList<int> DrawnQuantities() const;

    bool operator==(const ChartSlots&) const = default;

private:
    std::array<int, kSlotCount> quantity_{-1, -1, -1};
};
