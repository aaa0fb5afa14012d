// Shared driver of the parser fuzz targets. The input is a small header and then the bytes the
// remote end sends, cut into chunks; after each chunk the emulation reads until the port is
// empty. The display checks every action it is given, and the record sits in a heap block of
// exactly its size, so a write past it is caught by the address sanitizer.
//
// Header: [0] chunk size (1..64), [1] flags (bit 0: the display does not clamp moves; bit 1:
// garbage in the record's parser fields before reading; bit 2: CR also feeds a line (TTY)),
// [2] tab width, [3] key code for the translate functions.
#pragma once

#include <kestrune.h>
#include <terminal.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace fuzz {

constexpr int kPort = 1;
constexpr int kRemote = 2;

inline bool g_clamp = true;
inline RS_POSITION g_cursor{1, 1};

inline void Check(bool condition) {
    if (!condition) std::abort();
}

inline void RS_CALL Display(int32_t port, int32_t action, int32_t value, void* pointer) {
    Check((port & 0xFF) == kPort);
    Check(action >= 1 && action <= 13);
    auto* pos = static_cast<RS_POSITION*>(pointer);
    switch (action) {
        case RS_ACTION_GET_CURSOR:
            Check(pos != nullptr);
            *pos = g_cursor;
            break;
        case RS_ACTION_MOVE_CURSOR:
            Check(pos != nullptr);
            if (g_clamp) {
                pos->column = static_cast<int16_t>(std::clamp<int>(pos->column, 1, 80));
                pos->row = static_cast<int16_t>(std::clamp<int>(pos->row, 1, 24));
            }
            g_cursor = *pos;
            break;
        case RS_ACTION_UNKNOWN:
            // The sequence text: NUL-terminated, never more than 20 characters.
            Check(pointer != nullptr);
            Check(strnlen(static_cast<const char*>(pointer), 32) <= 20);
            break;
        case RS_ACTION_RENDITION:
            if (pointer) Check(strnlen(static_cast<const char*>(pointer), 4) <= 1);
            break;
        default:
            if (pos) {
                volatile int16_t touch = pos->column;
                (void)touch;
            }
            Check(value >= 0 && value <= 99);
            break;
    }
}

inline void OpenPortsOnce() {
    static bool open = KestruneOpenLoopback(kPort, kRemote) == KESTRUNE_OK;
    Check(open);
}

// Empties what the terminal sent back; answers are only ever status reports.
inline void DrainReplies() {
    char buf[256];
    while (KestruneRead(kRemote, buf, sizeof buf) > 0) {
    }
}

template <typename Record, typename Init, typename Read>
void RunParser(const uint8_t* data, size_t size, Init init, Read read) {
    OpenPortsOnce();
    if (size < 4) return;
    size_t chunk = 1 + data[0] % 64;
    uint8_t flags = data[1];
    g_clamp = !(flags & 1);
    g_cursor = {1, 1};

    // The registered record stays alive until the next input registers its own, so calls made
    // after this function (the cursor report) still find it.
    static std::unique_ptr<Record> record;
    record = std::make_unique<Record>();
    std::memset(record.get(), 0, sizeof(Record));
    record->callback = &Display;
    if constexpr (requires { record->tabWidth; }) {
        record->tabWidth = data[2];
        record->crAlsoFeedsLine = flags & 4;
    }
    Check(init(kPort, record.get()));
    if constexpr (requires { record->parameters; }) {
        if (flags & 2) {
            // A record whose parser fields hold anything at all.
            size_t n = std::min<size_t>(size - 4, sizeof record->parameters + 1);
            std::memcpy(record->parameters, data + 4, n);
        }
    }
    const uint8_t* bytes = data + 4;
    size_t left = size - 4;
    while (left > 0) {
        size_t n = std::min(chunk, left);
        Check(KestruneWrite(kRemote, bytes, static_cast<int>(n)) == static_cast<int>(n));
        bytes += n;
        left -= n;
        char c = 0;
        int guard = 0;
        while (KestruneInputPending(kPort) > 0) {
            read(kPort, &c);
            Check(++guard <= 100000);
        }
        if constexpr (requires { record->parameters; }) {
            if (!(flags & 2)) Check(strnlen(record->parameters, RS_PARAMETER_TEXT) < 20);
        }
        DrainReplies();
    }
}

// The translate functions with the key and the cursor position from the input.
inline void RunTranslate(const uint8_t* data, size_t size) {
    if (size < 8) return;
    int32_t key = static_cast<int8_t>(data[3]);
    RS_POSITION pos;
    std::memcpy(&pos, data + 4, sizeof pos);
    auto text = std::make_unique<char[]>(RS_TRANSLATE_TEXT);
    RS_TranslateToANSI(key, &pos, text.get());
    Check(std::strlen(text.get()) < RS_TRANSLATE_TEXT);
    RS_TranslateToVT52(key, &pos, text.get());
    Check(std::strlen(text.get()) < RS_TRANSLATE_TEXT);
    RS_TranslateToTTY(key, text.get());
    Check(std::strlen(text.get()) <= 1);
}

}  // namespace fuzz
