#include "realtime/UnitSelection.h"

#include "base/SettingsStore.h"
#include "link/Link.h"
#include "link/LinkSettings.h"
#include "realtime/RealTimeSettingsHost.h"

void UnitSelection::Load(QList<QuantityChoice> quantities, qint32 realTimeInterval) {
    quantities_ = std::move(quantities);
    selected_ = QList<bool>(quantities_.size(), false);
    FillSlots();
    for (int q = 0; q < quantities_.size(); ++q)
        if (quantities_.at(q).UnitChoice > 0) Select(q, true);
    interval_ = ListInterval(realTimeInterval);
    quantitiesChanged_ = false;
    intervalChanged_ = false;
}

int UnitSelection::SelectedCount() const {
    return static_cast<int>(selected_.count(true));
}

bool UnitSelection::Select(int index, bool selected) {
    if (index < 0 || index >= selected_.size()) return false;
    if (selected_.at(index) == selected) return true;
    if (selected && SelectedCount() >= kSlotCount) return false;
    selected_[index] = selected;
    // The slots change with the selection, and with them what OK must send.
    quantitiesChanged_ = true;
    FillSlots();
    return true;
}

void UnitSelection::FillSlots() {
    int s = 0;
    for (int q = 0; q < quantities_.size() && s < kSlotCount; ++q) {
        if (!selected_.at(q)) continue;
        QuantityChoice& quantity = quantities_[q];
        // A quantity the instrument does not show yet starts in its first unit.
        if (quantity.UnitChoice == 0) quantity.UnitChoice = 1;
        Slot& slot = slots_[s];
        slot.quantity = q;
        slot.label = quantity.ShownName();
        slot.units.clear();
        for (int u = 0; u < quantity.Units.size(); ++u) slot.units << quantity.ShownUnit(u);
        const int entry = quantity.UnitChoice - 1;
        slot.current = entry < slot.units.size() ? entry : -1;
        ++s;
    }
    for (; s < kSlotCount; ++s) slots_[s] = Slot();
}

void UnitSelection::ChooseUnit(int slot, int entry) {
    if (slot < 0 || slot >= kSlotCount || !slots_[slot].Shown()) return;
    if (entry < 0 || entry >= slots_[slot].units.size()) return;
    quantitiesChanged_ = true;
    slots_[slot].current = entry;
    quantities_[slots_[slot].quantity].UnitChoice = static_cast<qint16>(entry + 1);
}

void UnitSelection::ChooseInterval(int listIndex) {
    interval_ = listIndex >= 0 && listIndex < kIntervalCount ? listIndex : -1;
    intervalChanged_ = true;
}

UnitSelection::OkResult UnitSelection::Apply(RealTimeSettingsHost& host) {
    if (!quantitiesChanged_ && !intervalChanged_) return OkResult::Unchanged;
    Link& link = host.GetLink();
    // A poll that holds the link now would interleave with the change.
    if (quantitiesChanged_ && link.IsRealTimeBusy()) return OkResult::Busy;
    // A running real-time window reads the old choice: it stops first
    // (after asking), without its own stop message.
    if (!link.ConfirmStopRealTime()) return OkResult::Declined;
    if (quantitiesChanged_) {
        if (link.IsRealTimeBusy()) return OkResult::Busy;
        if (!SendUnitChoice(link, quantities_, selected_)) return OkResult::Failed;
    }
    // With no entry chosen (an interval the list does not offer) the
    // interval the program keeps stays as it was: 0 s is no poll interval.
    if (interval_ >= 0) {
        const qint32 seconds = IntervalSecond(interval_);
        const qint16 unit = IntervalUnit(interval_);
        SaveRealTimeInterval(host.Store(), seconds, unit);
        link.SetRealTimeInterval(seconds);
        host.RealTimeIntervalChanged(seconds, unit);
    }
    link.EndSequence();
    return OkResult::Applied;
}
