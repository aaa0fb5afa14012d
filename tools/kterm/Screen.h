// The character screen of the kterm demo: cells, cursor and the display actions the terminal
// library asks for. Plain C++; the window only draws it.
#pragma once

#include <terminal.h>

#include <string>
#include <vector>

class Screen {
public:
    Screen(int columns = 80, int rows = 24);

    // Registers this screen as the display of a port (one screen per port).
    void Attach(int port);
    void Detach();

    // An ordinary character handed back by the emulation's read (including CR, BS, TAB, BEL).
    void Put(unsigned char c);
    // A display action from the terminal library.
    void Apply(int action, int value, void* pointer);

    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    RS_POSITION Cursor() const { return cursor_; }
    // Row 1..rows as text (Latin-1 bytes), trailing blanks kept.
    const std::string& Line(int row) const { return lines_[static_cast<size_t>(row - 1)]; }
    // The whole screen, trailing blanks and empty bottom lines removed.
    std::string Text() const;
    bool Bell() {
        bool b = bell_;
        bell_ = false;
        return b;
    }

    static void RS_CALL Callback(int32_t port, int32_t action, int32_t value, void* pointer);

private:
    void ScrollUp(int top, int count);
    void ScrollDown(int top, int count);
    void Clamp(RS_POSITION& p) const;

    int columns_;
    int rows_;
    RS_POSITION cursor_{1, 1};
    std::vector<std::string> lines_;
    bool bell_ = false;
    int port_ = -1;
};
