#pragma once
// The string table's texts of one language, as the lookup in
// base/StringTable.cpp reads them: one array sorted by id, UTF-8 texts in
// read-only data. Each language's texts live in a file of their own.

#include <cstddef>
#include <span>

namespace stringtable {

struct Entry {
    int id;
    const char* text;  // UTF-8
};

template <std::size_t N>
constexpr bool IdsAscending(const Entry (&entries)[N]) {
    for (std::size_t i = 1; i < N; ++i) {
        if (entries[i - 1].id >= entries[i].id) return false;
    }
    return true;
}

// The Swedish texts (base/StringTable.cpp) and the English ones
// (base/StringTableEn.cpp).
std::span<const Entry> SwedishEntries();
std::span<const Entry> EnglishEntries();

}  // namespace stringtable
