#include "cablewatch/DeviceList.h"

#include <algorithm>

#include "cablewatch/CablewatchTexts.h"
#include "cablewatch/DeviceStatus.h"

namespace cablewatch {

namespace {

bool SameText(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

int DeviceList::IndexOf(const QString& key) const {
    if (key.isEmpty()) return -1;
    for (int i = 0; i < rows_.size(); ++i)
        if (SameText(rows_[i].key, key)) return i;
    return -1;
}

UpdateSummary DeviceList::Update(const RegistryTree& tree) {
    UpdateSummary summary;

    // New instances are added at the end; known ones keep their place.
    for (const QString& instance : tree.SubKeyNames(kEnumRoot + kDeviceFolder)) {
        const QString key = kDeviceKeyPrefix + instance;
        if (IndexOf(key) >= 0) continue;
        DeviceRow row;
        row.key = key;
        rows_.append(row);
        ++summary.added;
    }

    for (int i = 0; i < rows_.size();) {
        DeviceRow& row = rows_[i];
        const auto state = EvaluateDevice(tree, row.key);
        if (!state) {
            if (SameText(row.key, selectedKey_)) selectedKey_.clear();
            rows_.removeAt(i);
            ++summary.removed;
            continue;
        }
        bool changed = false;
        if (row.icon != state->icon || row.ghosted != state->ghosted) {
            row.icon = state->icon;
            row.ghosted = state->ghosted;
            changed = true;
        }
        if (state->portName && !SameText(row.tag, *state->portName)) {
            row.tag = *state->portName;
            row.text = *state->portName;
            if (sorted_) summary.sortingSwitchedOff = true;
            sorted_ = false;
            changed = true;
        }
        if (!SameText(row.status, state->status)) {
            row.status = state->status;
            changed = true;
        }
        if (!SameText(row.cableId, state->cableId)) {
            row.cableId = state->cableId;
            changed = true;
        }
        if (changed) ++summary.changed;
        ++i;
    }

    // A row added while the list stays sorted (it brought no port name) goes
    // to its sorted place, as the list view itself would put it.
    if (sorted_ && summary.added > 0) Sort();

    if (const auto version = tree.StringValue(kDriverVersionKey, kDriverVersion))
        versionText_ = Texts().versionPrefix + *version;
    return summary;
}

QString DeviceList::SortKey(const QString& tag) {
    // The part from the fourth character on, right-aligned in three places;
    // a longer number keeps all its digits.
    return tag.mid(3).rightJustified(3, QLatin1Char(' '));
}

QString DeviceList::SortText(const DeviceRow& row, int column) const {
    switch (column) {
        case 0:
            return SortKey(row.tag);
        case 1:
            return row.status;
        default:
            return row.cableId;
    }
}

void DeviceList::Sort() {
    const int column = sortColumn_;
    std::stable_sort(rows_.begin(), rows_.end(), [&](const DeviceRow& a, const DeviceRow& b) {
        const int order = SortText(a, column).compare(SortText(b, column), Qt::CaseInsensitive);
        return descending_ ? order > 0 : order < 0;
    });
    sorted_ = true;
}

void DeviceList::ColumnClick(int column) {
    const int index = column - 1;
    if (index < 0 || index > 2) return;
    if (index == sortColumn_ && !descending_ && sorted_) {
        descending_ = true;
    } else {
        sortColumn_ = index;
        descending_ = false;
    }
    Sort();
}

void DeviceList::Select(const QString& key) {
    const int index = IndexOf(key);
    selectedKey_ = index >= 0 ? rows_[index].key : QString();
}

bool DeviceList::SelectPort(const QString& port) {
    if (!port.isEmpty()) {
        for (const DeviceRow& row : rows_) {
            if (SameText(row.tag, port)) {
                selectedKey_ = row.key;
                return true;
            }
        }
    }
    selectedKey_ = rows_.isEmpty() ? QString() : rows_.first().key;
    return false;
}

std::array<int, 3> DeviceList::ColumnWidths(int listWidth) {
    const int w = std::max(0, listWidth - 5) / 3;
    return {w, w, w + 1};
}

}  // namespace cablewatch
