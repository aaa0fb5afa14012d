#pragma once
// The real-time settings dialog without its widgets: which quantities are
// selected (at most three), the three unit slots they fill in list order, the
// interval chosen, and what OK does with it all.

#include <QList>
#include <QStringList>
#include <array>

#include "realtime/UnitSettings.h"

class RealTimeSettingsHost;

class UnitSelection {
public:
    static constexpr int kSlotCount = 3;

    // One unit slot (a label and a drop-down list of units).
    struct Slot {
        int quantity = -1;  // list position of the quantity shown here; -1: empty
        QString label;      // the quantity's list text; empty for an empty slot
        QStringList units;  // the units it offers
        int current = -1;   // the unit entry shown; -1: none
        bool Shown() const { return quantity >= 0; }
    };

    // The quantities read from the instrument and the interval the program
    // keeps. Every quantity the instrument shows is selected in list order,
    // as far as three go; neither flag is set afterwards.
    void Load(QList<QuantityChoice> quantities, qint32 realTimeInterval);

    const QList<QuantityChoice>& Quantities() const { return quantities_; }
    bool IsSelected(int index) const { return selected_.value(index, false); }
    const QList<bool>& Selection() const { return selected_; }
    int SelectedCount() const;

    // The user selects or deselects a quantity of the list. A fourth
    // selection is refused (false) and leaves everything as it was.
    bool Select(int index, bool selected);
    const std::array<Slot, kSlotCount>& Slots() const { return slots_; }
    // The user chooses unit entry in slot.
    void ChooseUnit(int slot, int entry);

    // The user picks an interval entry (-1: none).
    void ChooseInterval(int listIndex);
    int IntervalIndex() const { return interval_; }

    bool QuantitiesChanged() const { return quantitiesChanged_; }
    bool IntervalChanged() const { return intervalChanged_; }
    // The "UNIT n n ..." command that shows the selection.
    QString ChangeCommand() const { return UnitChangeCommand(quantities_, selected_); }

    // What OK did.
    enum class OkResult {
        Unchanged,  // nothing was changed: the dialog just closes
        Declined,   // the user kept the running real-time window: nothing changed
        Busy,       // a real-time poll holds the link: the dialog stays open
        Failed,     // the instrument refused the units ("Cannot Change" shown)
        Applied,    // units sent as needed and the interval kept
    };
    // OK: stops a running real-time window after asking, sends the units when
    // they changed, and keeps the chosen interval in the link, the settings
    // store and the program (host).
    OkResult Apply(RealTimeSettingsHost& host);

private:
    void FillSlots();

    QList<QuantityChoice> quantities_;
    QList<bool> selected_;
    std::array<Slot, kSlotCount> slots_;
    int interval_ = -1;
    bool quantitiesChanged_ = false;
    bool intervalChanged_ = false;
};
