#include "Screen.h"

#include <algorithm>
#include <array>

namespace {

std::array<Screen*, 256> g_screens{};

}  // namespace

Screen::Screen(int columns, int rows)
    : columns_(columns),
      rows_(rows),
      lines_(static_cast<size_t>(rows), std::string(columns, ' ')) {}

void Screen::Attach(int port) {
    port_ = port & 0xFF;
    g_screens[static_cast<size_t>(port_)] = this;
}

void Screen::Detach() {
    if (port_ >= 0 && g_screens[static_cast<size_t>(port_)] == this)
        g_screens[static_cast<size_t>(port_)] = nullptr;
    port_ = -1;
}

void RS_CALL Screen::Callback(int32_t port, int32_t action, int32_t value, void* pointer) {
    if (Screen* s = g_screens[static_cast<size_t>(port & 0xFF)]) s->Apply(action, value, pointer);
}

void Screen::Clamp(RS_POSITION& p) const {
    p.column = static_cast<int16_t>(std::clamp<int>(p.column, 1, columns_));
    p.row = static_cast<int16_t>(std::clamp<int>(p.row, 1, rows_));
}

void Screen::ScrollUp(int top, int count) {
    count = std::clamp(count, 0, rows_ - top + 1);
    auto first = lines_.begin() + (top - 1);
    lines_.erase(first, first + count);
    lines_.insert(lines_.end(), static_cast<size_t>(count), std::string(columns_, ' '));
}

void Screen::ScrollDown(int top, int count) {
    count = std::clamp(count, 0, rows_ - top + 1);
    lines_.erase(lines_.end() - count, lines_.end());
    lines_.insert(lines_.begin() + (top - 1), static_cast<size_t>(count),
                  std::string(columns_, ' '));
}

void Screen::Apply(int action, int value, void* pointer) {
    auto* pos = static_cast<RS_POSITION*>(pointer);
    std::string& line = lines_[static_cast<size_t>(cursor_.row - 1)];
    // The cursor may stand one past the last column (a wrap is pending).
    const size_t col = std::min<size_t>(static_cast<size_t>(cursor_.column - 1), columns_);
    const size_t upTo = std::min<size_t>(col + 1, columns_);  // through the cursor
    switch (action) {
        case RS_ACTION_GET_CURSOR:
            if (pos) *pos = cursor_;
            break;
        case RS_ACTION_MOVE_CURSOR:
            if (!pos) break;
            // A line feed on the bottom row asks for the row below it: the screen scrolls.
            if (pos->row == rows_ + 1 && cursor_.row == rows_) {
                ScrollUp(1, 1);
                pos->row = static_cast<int16_t>(rows_);
            }
            Clamp(*pos);
            cursor_ = *pos;
            break;
        case RS_ACTION_ERASE_DISPLAY:
            if (value == 2) {
                for (std::string& l : lines_) l.assign(columns_, ' ');
            } else if (value == 1) {
                for (int r = 1; r < cursor_.row; ++r) lines_[r - 1].assign(columns_, ' ');
                line.replace(0, upTo, upTo, ' ');
            } else {
                line.replace(col, std::string::npos, columns_ - col, ' ');
                for (int r = cursor_.row + 1; r <= rows_; ++r) lines_[r - 1].assign(columns_, ' ');
            }
            break;
        case RS_ACTION_ERASE_LINE:
            if (value == 2)
                line.assign(columns_, ' ');
            else if (value == 1)
                line.replace(0, upTo, upTo, ' ');
            else
                line.replace(col, std::string::npos, columns_ - col, ' ');
            break;
        case RS_ACTION_DELETE_CHARS: {
            size_t n = std::min<size_t>(static_cast<size_t>(std::max(value, 0)), columns_ - col);
            line.erase(col, n);
            line.append(n, ' ');
            break;
        }
        case RS_ACTION_INSERT_CHARS: {
            size_t n = std::min<size_t>(static_cast<size_t>(std::max(value, 0)), columns_ - col);
            line.insert(col, n, ' ');
            line.resize(static_cast<size_t>(columns_));
            break;
        }
        case RS_ACTION_DELETE_LINES:
            ScrollUp(cursor_.row, value);
            break;
        case RS_ACTION_INSERT_LINES:
            ScrollDown(cursor_.row, value);
            break;
        case RS_ACTION_SCROLL_UP:
            ScrollUp(1, value);
            break;
        case RS_ACTION_SCROLL_DOWN:
            ScrollDown(1, value);
            break;
        default:
            break;  // renditions and unknown sequences: this screen has no attributes
    }
}

void Screen::Put(unsigned char c) {
    switch (c) {
        case '\r':
            cursor_.column = 1;
            return;
        case '\b':
            if (cursor_.column > 1) --cursor_.column;
            return;
        case '\t':
            cursor_.column =
                static_cast<int16_t>(std::min(columns_, (cursor_.column + 7) / 8 * 8 + 1));
            return;
        case '\a':
            bell_ = true;
            return;
        default:
            if (c < 32 || c == 127) return;
    }
    if (cursor_.column > columns_) {
        // The previous character filled the line: wrap before this one.
        cursor_.column = 1;
        if (cursor_.row == rows_)
            ScrollUp(1, 1);
        else
            ++cursor_.row;
    }
    lines_[static_cast<size_t>(cursor_.row - 1)][static_cast<size_t>(cursor_.column - 1)] =
        static_cast<char>(c);
    ++cursor_.column;  // may stand one past the last column until the next character
}

std::string Screen::Text() const {
    std::vector<std::string> trimmed;
    for (const std::string& l : lines_) trimmed.push_back(l.substr(0, l.find_last_not_of(' ') + 1));
    while (!trimmed.empty() && trimmed.back().empty()) trimmed.pop_back();
    std::string out;
    for (const std::string& l : trimmed) out += l + "\n";
    return out;
}
