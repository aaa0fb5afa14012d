#include "app/RecentFiles.h"

void RecentFiles::Add(const QString& path) {
    int slot = kSlots - 1;
    for (int i = 0; i < kSlots; ++i) {
        if (slots_[static_cast<size_t>(i)] == path) {
            slot = i;
            break;
        }
    }
    for (int i = slot; i >= 1; --i)
        slots_[static_cast<size_t>(i)] = slots_[static_cast<size_t>(i - 1)];
    slots_[0] = path;
}
