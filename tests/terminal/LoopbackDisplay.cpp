#include "LoopbackDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

RecordingDisplay* RecordingDisplay::current = nullptr;

std::string RecordingDisplay::Events() const {
    std::string out;
    for (const std::string& e : events) {
        if (!out.empty()) out += " | ";
        out += e;
    }
    return out;
}

namespace {

// The actions by the names the expected event texts use.
std::string ActionName(int32_t action) {
    switch (action) {
        case RS_ACTION_GET_CURSOR:
            return "get";
        case RS_ACTION_UPDATE:
            return "update";
        case RS_ACTION_MOVE_CURSOR:
            return "move";
        case RS_ACTION_ERASE_DISPLAY:
            return "erase-display";
        case RS_ACTION_ERASE_LINE:
            return "erase-line";
        case RS_ACTION_RENDITION:
            return "rendition";
        case RS_ACTION_DELETE_CHARS:
            return "delete-chars";
        case RS_ACTION_DELETE_LINES:
            return "delete-lines";
        case RS_ACTION_SCROLL_DOWN:
            return "scroll-down";
        case RS_ACTION_SCROLL_UP:
            return "scroll-up";
        case RS_ACTION_INSERT_LINES:
            return "insert-lines";
        case RS_ACTION_INSERT_CHARS:
            return "insert-chars";
        case RS_ACTION_UNKNOWN:
            return "unknown";
        default:
            return "action-" + std::to_string(action);
    }
}

std::string Pos(const void* pointer) {
    if (!pointer) return "null";
    RS_POSITION p;
    std::memcpy(&p, pointer, sizeof p);
    return std::to_string(p.column) + "," + std::to_string(p.row);
}

}  // namespace

void RS_CALL RecordingDisplay::Callback(int32_t port, int32_t action, int32_t value,
                                        void* pointer) {
    RecordingDisplay* d = current;
    ASSERT_NE(d, nullptr);
    // Actions for any other port than the terminal's carry the port: "@3 get".
    const std::string prefix =
        (port & 0xFF) == kTerminalPort ? "" : "@" + std::to_string(port) + " ";
    const std::string name = prefix + ActionName(action);
    auto* pos = static_cast<RS_POSITION*>(pointer);
    switch (action) {
        case RS_ACTION_GET_CURSOR:
            ASSERT_NE(pos, nullptr);
            *pos = d->cursor;
            d->events.push_back(name);
            return;
        case RS_ACTION_MOVE_CURSOR:
            ASSERT_NE(pos, nullptr);
            pos->column = static_cast<int16_t>(std::clamp<int>(pos->column, 1, d->columns));
            pos->row = static_cast<int16_t>(std::clamp<int>(pos->row, 1, d->rows));
            d->cursor = *pos;
            d->events.push_back(name + " " + Pos(pos));
            return;
        case RS_ACTION_UPDATE:
            d->events.push_back(name + " " + Pos(pos));
            return;
        case RS_ACTION_UNKNOWN:
            ASSERT_NE(pointer, nullptr);
            d->events.push_back(name + " " + std::string(static_cast<const char*>(pointer)));
            return;
        case RS_ACTION_RENDITION:
            // ANSI passes no pointer; VT52 passes the one-character text of the escape.
            d->events.push_back(
                name + " " + std::to_string(value) + " " +
                (pointer ? std::string(static_cast<const char*>(pointer)) : std::string("null")));
            return;
        default:
            d->events.push_back(name + " " + std::to_string(value) + " " + Pos(pointer));
            return;
    }
}

void SendFromRemote(const std::string& bytes) {
    ASSERT_EQ(KestruneWrite(kRemotePort, bytes.data(), static_cast<int>(bytes.size())),
              static_cast<int>(bytes.size()));
}

std::string TakeReply() {
    std::string out;
    char buf[256];
    int n;
    while ((n = KestruneRead(kRemotePort, buf, sizeof buf)) > 0) out.append(buf, n);
    return out;
}
