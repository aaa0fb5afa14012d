#pragma once
// The four most recently used files, most recent first ("" = empty slot).

#include <QString>
#include <array>

class RecentFiles {
public:
    static constexpr int kSlots = 4;
    // A path already in the list moves to the top (compared exactly); a new
    // path pushes the oldest out.
    void Add(const QString& path);
    const QString& At(int slot) const { return slots_[static_cast<size_t>(slot)]; }
    void Set(int slot, const QString& path) { slots_[static_cast<size_t>(slot)] = path; }

private:
    std::array<QString, kSlots> slots_;
};
