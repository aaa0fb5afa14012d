// terminal: the ANSI, VT52 and TTY parsers, their registration tables and key translation.
//
// The parsers keep their whole state in the caller's record, so a sequence may arrive split over
// any number of read calls. Received bytes come from kestrune one at a time (service 17); the
// ANSI status answers go back one byte at a time (service 18).

#include "terminal.h"

#include <kestrune.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <span>

namespace {

// The control bytes the emulations act on.
constexpr unsigned char kBel = 7;   // bell
constexpr unsigned char kBs = 8;    // backspace
constexpr unsigned char kHt = 9;    // horizontal tab
constexpr unsigned char kLf = 10;   // line feed
constexpr unsigned char kVt = 11;   // vertical tab: the ANSI parser feeds a line on it too
constexpr unsigned char kFf = 12;   // form feed: the TTY clears the screen
constexpr unsigned char kCr = 13;   // carriage return
constexpr unsigned char kEsc = 27;  // starts every escape sequence

// Ports share the record tables by the low 8 bits of their number.
constexpr int kSlots = 256;
constexpr int32_t kSlotMask = kSlots - 1;

// An ANSI parameter counts its first two characters only ("123" reads as 12).
constexpr size_t kParameterDigits = 2;
// "ESC [ 5 n" asks whether the terminal is well, "ESC [ 6 n" where its cursor is.
constexpr int kStatusQuery = 5;
constexpr int kCursorReportQuery = 6;
constexpr char kStatusOkReply[] = "\x1b[0n";
constexpr char kCursorReportFormat[] = "\x1b[%d;%dR";  // row, then column
constexpr size_t kCursorReportText = 24;               // room for two 16-bit numbers
// A VT52 address byte is the 0-based line or column plus 32; the cursor is 1-based.
constexpr int kVt52AddressBias = 31;
// Backspace at the left margin wraps to "the end of the previous line": a column
// this far right, which the display clamps to its last one.
constexpr int16_t kFarRightColumn = 255;

// One table of record pointers per emulation, indexed by the low 8 bits of the port number.
RS_ANSIRECORD* g_ansi[kSlots];
RS_VT52RECORD* g_vt52[kSlots];
RS_TTYRECORD* g_tty[kSlots];

int Slot(int32_t port) {
    return port & kSlotMask;
}

// The three services of the core library the emulations use, looked up once by number.
struct Core {
    KestruneUsableProc usable;
    KestruneGetByteProc getByte;
    KestrunePutByteProc putByte;
    bool Complete() const { return usable && getByte && putByte; }
};

const Core& CoreLibrary() {
    static const Core core{
        reinterpret_cast<KestruneUsableProc>(KestruneFunction(KESTRUNE_ORD_USABLE)),
        reinterpret_cast<KestruneGetByteProc>(KestruneFunction(KESTRUNE_ORD_GET_BYTE)),
        reinterpret_cast<KestrunePutByteProc>(KestruneFunction(KESTRUNE_ORD_PUT_BYTE)),
    };
    return core;
}

bool PortUsable(int32_t port) {
    const Core& core = CoreLibrary();
    return core.Complete() && core.usable(port) != 0;
}

bool TakeByte(int32_t port, unsigned char* byte) {
    const Core& core = CoreLibrary();
    return core.Complete() && core.getByte(port, byte) != 0;
}

void SendText(int32_t port, const char* text) {
    const Core& core = CoreLibrary();
    if (!core.Complete()) return;
    for (const char* p = text; *p; ++p) core.putByte(port, static_cast<unsigned char>(*p));
}

// Cursor arithmetic saturates at the 16-bit limits instead of wrapping round.
int16_t Clamp16(int value) {
    if (value > INT16_MAX) return INT16_MAX;
    if (value < INT16_MIN) return INT16_MIN;
    return static_cast<int16_t>(value);
}

RS_POSITION CurrentCursor(RS_DISPLAYPROC callback, int32_t port) {
    RS_POSITION pos{1, 1};
    callback(port, RS_ACTION_GET_CURSOR, 0, &pos);
    return pos;
}

// Moves the cursor (the display clamps it and writes back what it took) and shows it.
void MoveAndShow(RS_DISPLAYPROC callback, int32_t port, RS_POSITION& pos) {
    callback(port, RS_ACTION_MOVE_CURSOR, 0, &pos);
    callback(port, RS_ACTION_UPDATE, 0, &pos);
}

void ClearText(char* text) {
    std::memset(text, 0, RS_PARAMETER_TEXT);
}

void Beep() {
    // The stand-in for the desktop's default beep: the terminal bell on standard error.
    ssize_t ignored = write(STDERR_FILENO, "\a", 1);
    (void)ignored;
}

// What became of one received byte.
enum class Step { Consumed, Ordinary, LineFeed };

// ---- ANSI -------------------------------------------------------------------------------------

struct Parameter {
    bool given;
    int value;
};

// One numeric parameter: at most its first two characters count, digits only.
Parameter ReadParameter(const char* text, size_t length) {
    if (length > kParameterDigits) length = kParameterDigits;
    if (length == 0) return {false, 0};
    int value = 0;
    for (size_t i = 0; i < length && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + (text[i] - '0');
    return {true, value};
}

struct Parameters {
    Parameter p1;
    Parameter p2;
    int P1(int fallback) const { return p1.given ? p1.value : fallback; }
    int P2(int fallback) const { return p2.given ? p2.value : fallback; }
};

// P1 is the text before the first ";", P2 the text after it up to the next ";"; no more are read.
Parameters ReadParameters(const char* text, size_t length) {
    const char* end = text + length;
    const char* semi = static_cast<const char*>(std::memchr(text, ';', length));
    Parameters p{};
    p.p1 = ReadParameter(text, static_cast<size_t>((semi ? semi : end) - text));
    if (semi) {
        const char* second = semi + 1;
        const char* semi2 =
            static_cast<const char*>(std::memchr(second, ';', static_cast<size_t>(end - second)));
        p.p2 = ReadParameter(second, static_cast<size_t>((semi2 ? semi2 : end) - second));
    } else {
        p.p2 = {false, 0};
    }
    return p;
}

Step AnsiFinal(int32_t port, RS_ANSIRECORD* r, RS_DISPLAYPROC cb, unsigned char c, size_t n) {
    char text[RS_PARAMETER_TEXT + 2];
    std::memcpy(text, r->parameters, n);
    text[n] = '\0';
    Parameters p = ReadParameters(text, n);
    RS_POSITION pos = CurrentCursor(cb, port);
    switch (c) {
        case 'A':
            pos.row = Clamp16(pos.row - p.P1(1));
            break;
        case 'B':
            pos.row = Clamp16(pos.row + p.P1(1));
            break;
        case 'C':
            pos.column = Clamp16(pos.column + p.P1(1));
            break;
        case 'D':
            pos.column = Clamp16(pos.column - p.P1(1));
            break;
        case 'E':
            pos.row = Clamp16(pos.row + 1);
            break;
        case 'G':
            pos.column = Clamp16(p.P1(1));
            break;
        case 'H':
        case 'f':
            pos.row = Clamp16(p.P1(1));
            pos.column = Clamp16(p.P2(1));
            break;
        case 'J':
            cb(port, RS_ACTION_ERASE_DISPLAY, p.P1(0), &pos);
            cb(port, RS_ACTION_GET_CURSOR, 0, &pos);
            break;
        case 'K':
            cb(port, RS_ACTION_ERASE_LINE, p.P1(0), &pos);
            break;
        case 'L':
            cb(port, RS_ACTION_INSERT_LINES, p.P1(1), &pos);
            break;
        case '@':
            cb(port, RS_ACTION_INSERT_CHARS, p.P1(1), &pos);
            break;
        case 'M':
            cb(port, RS_ACTION_DELETE_LINES, p.P1(1), &pos);
            break;
        case 'P':
            cb(port, RS_ACTION_DELETE_CHARS, p.P1(1), &pos);
            break;
        case 'S':
            cb(port, RS_ACTION_SCROLL_UP, p.P1(1), &pos);
            break;
        case 'T':
            cb(port, RS_ACTION_SCROLL_DOWN, p.P1(1), &pos);
            break;
        case 'm':
            cb(port, RS_ACTION_RENDITION, p.P1(0), nullptr);
            break;
        case 'R':
            r->reportRow = Clamp16(p.P1(1));
            r->reportColumn = Clamp16(p.P2(1));
            r->reportAvailable = 1;
            break;
        case 'n': {
            int query = p.P1(0);
            if (query == kStatusQuery) {
                SendText(port, kStatusOkReply);
            } else if (query == kCursorReportQuery) {
                char reply[kCursorReportText];
                std::snprintf(reply, sizeof reply, kCursorReportFormat, pos.row, pos.column);
                SendText(port, reply);
            }
            break;
        }
        case 's': {
            RS_POSITION saved = CurrentCursor(cb, port);
            r->saved = saved;
            break;
        }
        case 'u':
            pos = r->saved;
            break;
        default:
            text[n] = static_cast<char>(c);
            text[n + 1] = '\0';
            cb(port, RS_ACTION_UNKNOWN, 0, text);
            break;
    }
    MoveAndShow(cb, port, pos);
    ClearText(r->parameters);
    r->state = RS_STATE_NORMAL;
    return Step::Consumed;
}

Step AnsiByte(int32_t port, RS_ANSIRECORD* r, RS_DISPLAYPROC cb, unsigned char c) {
    switch (r->state) {
        case RS_STATE_ESCAPE:
            switch (c) {
                case '[':
                    r->state = RS_STATE_CSI;
                    return Step::Consumed;
                case '7': {
                    RS_POSITION saved = CurrentCursor(cb, port);
                    r->saved = saved;
                    break;
                }
                case '8': {
                    RS_POSITION pos = r->saved;
                    MoveAndShow(cb, port, pos);
                    break;
                }
                case 'E': {
                    RS_POSITION pos = CurrentCursor(cb, port);
                    pos.row = Clamp16(pos.row + 1);
                    MoveAndShow(cb, port, pos);
                    break;
                }
                default:
                    r->state = RS_STATE_NORMAL;
                    return Step::Ordinary;
            }
            r->state = RS_STATE_NORMAL;
            return Step::Consumed;

        case RS_STATE_CSI: {
            // The text never takes more than 19 characters and its NUL, so nothing written here
            // reaches past the 20 bytes of the record; a longer sequence goes to the display as
            // unrecognised and is dropped.
            size_t n = strnlen(r->parameters, RS_PARAMETER_TEXT);
            if (n >= RS_PARAMETER_TEXT - 1) {
                n = RS_PARAMETER_TEXT - 1;  // a record holding no NUL at all gives 19 too
                char text[RS_PARAMETER_TEXT + 2];
                std::memcpy(text, r->parameters, n);
                text[n] = static_cast<char>(c);
                text[n + 1] = '\0';
                cb(port, RS_ACTION_UNKNOWN, 0, text);
                ClearText(r->parameters);
                r->state = RS_STATE_NORMAL;
                return Step::Consumed;
            }
            if ((c >= '0' && c <= '9') || c == ';') {
                r->parameters[n] = static_cast<char>(c);
                r->parameters[n + 1] = '\0';
                return Step::Consumed;
            }
            return AnsiFinal(port, r, cb, c, n);
        }

        default:  // normal, or a state this library never sets
            if (c == kEsc) {
                ClearText(r->parameters);
                r->state = RS_STATE_ESCAPE;
                return Step::Consumed;
            }
            if (c == kLf || c == kVt) {
                RS_POSITION pos = CurrentCursor(cb, port);
                pos.row = Clamp16(pos.row + 1);
                MoveAndShow(cb, port, pos);
                return Step::LineFeed;
            }
            return Step::Ordinary;
    }
}

// ---- VT52 -------------------------------------------------------------------------------------

Step Vt52Byte(int32_t port, RS_VT52RECORD* r, RS_DISPLAYPROC cb, unsigned char c) {
    RS_POSITION pos = CurrentCursor(cb, port);
    switch (r->state) {
        case RS_STATE_CSI:
            switch (c) {
                case 'A':
                case 'I':
                    pos.row = Clamp16(pos.row - 1);
                    break;
                case 'B':
                    pos.row = Clamp16(pos.row + 1);
                    break;
                case 'C':
                    pos.column = Clamp16(pos.column + 1);
                    break;
                case 'D':
                    pos.column = Clamp16(pos.column - 1);
                    break;
                case 'H':
                    pos.row = pos.column = 1;
                    break;
                case 'J':
                    cb(port, RS_ACTION_ERASE_DISPLAY, 0, nullptr);
                    cb(port, RS_ACTION_GET_CURSOR, 0, &pos);
                    break;
                case 'K':
                    cb(port, RS_ACTION_ERASE_LINE, 0, nullptr);
                    cb(port, RS_ACTION_GET_CURSOR, 0, &pos);
                    break;
                case 'Y':
                    // Direct cursor address: the row byte and the column byte follow.
                    r->state = RS_STATE_VT52_ROW;
                    return Step::Consumed;
                default: {
                    char text[2] = {static_cast<char>(c), '\0'};
                    cb(port, RS_ACTION_RENDITION, 0, text);
                    cb(port, RS_ACTION_GET_CURSOR, 0, &pos);
                    break;
                }
            }
            break;
        case RS_STATE_VT52_ROW:
            r->parameters[0] = static_cast<char>(c);
            r->state = RS_STATE_VT52_COLUMN;
            return Step::Consumed;
        case RS_STATE_VT52_COLUMN:
            // Each address byte is the 0-based line or column plus 32.
            pos.row = Clamp16(static_cast<unsigned char>(r->parameters[0]) - kVt52AddressBias);
            pos.column = Clamp16(c - kVt52AddressBias);
            ClearText(r->parameters);
            break;
        default:
            if (c == kEsc) {
                ClearText(r->parameters);
                r->state = RS_STATE_CSI;
                return Step::Consumed;
            }
            return Step::Ordinary;
    }
    MoveAndShow(cb, port, pos);
    r->state = RS_STATE_NORMAL;
    return Step::Consumed;
}

// ---- TTY --------------------------------------------------------------------------------------

bool TtyByte(int32_t port, RS_TTYRECORD* r, RS_DISPLAYPROC cb, unsigned char c) {
    RS_POSITION pos = CurrentCursor(cb, port);
    switch (c) {
        case kBel:
            Beep();
            break;
        case kBs: {
            int16_t column = pos.column;
            pos.column = Clamp16(column - 1);
            cb(port, RS_ACTION_MOVE_CURSOR, 0, &pos);
            if (pos.column == column) {
                // At the left margin: wrap to the end of the previous line, if there is one.
                int16_t row = pos.row;
                pos.row = Clamp16(row - 1);
                cb(port, RS_ACTION_MOVE_CURSOR, 0, &pos);
                if (pos.row != row) {
                    pos.column = kFarRightColumn;
                    cb(port, RS_ACTION_MOVE_CURSOR, 0, &pos);
                }
            }
            break;
        }
        case kHt:
            pos.column = Clamp16(pos.column + r->tabWidth);
            break;
        case kFf:
            cb(port, RS_ACTION_ERASE_DISPLAY, 0, nullptr);
            cb(port, RS_ACTION_GET_CURSOR, 0, &pos);
            break;
        case kCr:
            pos.column = 1;
            if (r->crAlsoFeedsLine) pos.row = Clamp16(pos.row + 1);
            break;
        case kLf:
            pos.row = Clamp16(pos.row + 1);
            break;
        default:
            return true;
    }
    MoveAndShow(cb, port, pos);
    return false;
}

template <typename Record>
Record* Registered(Record* const (&table)[kSlots], int32_t port) {
    return table[Slot(port)];
}

// ---- key translation ---------------------------------------------------------------------------

// What a key sends: one row per key number. The cursor-address key is the one key whose text
// depends on the position; its row holds a format of the column and then the row.
struct KeySequence {
    int32_t key;
    const char* sequence;
};

constexpr int32_t kCursorAddressKey = 6;

#define ESC "\x1b"
const KeySequence kAnsiKeys[] = {
    {1, ESC "[1A"},                      // cursor up
    {2, ESC "[1B"},                      // cursor down
    {3, ESC "[1C"},                      // cursor right
    {4, ESC "[1D"},                      // cursor left
    {5, ESC "[1;1H"},                    // home
    {kCursorAddressKey, ESC "[%d;%dH"},  // go to: the column, then the row
    {7, ESC "[2J"},                      // clear the screen
    {8, ESC "[K"},                       // erase to the end of the line
    {9, ESC "[6n"},                      // ask for the cursor position
    {10, ESC "[s"},                      // save the cursor
    {11, ESC "[u"},                      // restore the cursor
    {12, ESC "[1P"},                     // delete a character
    {13, ESC "[1M"},                     // delete a line
    {14, ESC "[1T"},                     // scroll down
    {15, ESC "[1S"},                     // scroll up
    {16, ESC "[1L"},                     // insert a line
    {17, ESC "[1@"},                     // insert a character
};

const KeySequence kVt52Keys[] = {
    {1, ESC "A"},                       // cursor up
    {2, ESC "B"},                       // cursor down
    {3, ESC "C"},                       // cursor right
    {4, ESC "D"},                       // cursor left
    {5, ESC "H"},                       // home
    {kCursorAddressKey, ESC "Y%d;%d"},  // go to, in decimal: the column, then the row
    {7, ESC "H" ESC "J"},               // home, then clear the screen
    {8, ESC "K"},                       // erase to the end of the line
    {9, ESC "J"},                       // erase to the end of the screen
};
#undef ESC

// The TTY sends the control byte itself.
const KeySequence kTtyKeys[] = {
    {0, "\a"},  // bell
    {1, "\b"},  // backspace
    {2, "\t"},  // tab
    {3, "\n"},  // line feed
    {4, "\f"},  // form feed
    {5, "\r"},  // carriage return
};

const KeySequence* FindKey(std::span<const KeySequence> keys, int32_t key) {
    for (const KeySequence& row : keys)
        if (row.key == key) return &row;
    return nullptr;
}

// Writes the key's text (NUL-terminated, at most RS_TRANSLATE_TEXT bytes); an unknown key, or
// the cursor-address key without a position, leaves the text empty and gives false.
RS_BOOL Translate(std::span<const KeySequence> keys, int32_t key, const RS_POSITION* position,
                  char* text) {
    if (!text) return 0;
    text[0] = '\0';
    const KeySequence* row = FindKey(keys, key);
    if (!row) return 0;
    if (key != kCursorAddressKey) {
        std::snprintf(text, RS_TRANSLATE_TEXT, "%s", row->sequence);
        return 1;
    }
    if (!position) return 0;
    std::snprintf(text, RS_TRANSLATE_TEXT, row->sequence, position->column, position->row);
    return 1;
}

}  // namespace

extern "C" {

RS_TERMINAL_API RS_BOOL RS_CALL RS_ANSIInit(int32_t port, RS_ANSIRECORD* record) {
    if (!record || !PortUsable(port)) return 0;
    g_ansi[Slot(port)] = record;
    ClearText(record->parameters);
    record->state = RS_STATE_NORMAL;
    RS_DISPLAYPROC cb = record->callback;
    if (!cb) return 0;
    RS_POSITION saved = CurrentCursor(cb, port);
    record->saved = saved;
    record->reportColumn = 1;
    record->reportRow = 1;
    record->reportAvailable = 0;
    return 1;
}

RS_TERMINAL_API RS_BOOL RS_CALL RS_ANSIRead(int32_t port, char* character) {
    if (!character) return 0;
    RS_ANSIRECORD* r = Registered(g_ansi, port);
    if (!r) return 0;
    unsigned char c;
    // A record without a callback must not be read: its bytes stay in the port.
    while (r->callback && TakeByte(port, &c)) {
        *character = static_cast<char>(c);
        switch (AnsiByte(port, r, r->callback, c)) {
            case Step::Ordinary:
                return 1;
            case Step::LineFeed:
                return 0;
            case Step::Consumed:
                break;
        }
    }
    return 0;
}

RS_TERMINAL_API RS_BOOL RS_CALL RS_ANSIGetXY(int32_t port, RS_POSITION* position) {
    if (!position) return 0;
    RS_ANSIRECORD* r = Registered(g_ansi, port);
    if (!r || !r->reportAvailable) return 0;
    position->column = r->reportColumn;
    position->row = r->reportRow;
    r->reportAvailable = 0;
    return 1;
}

RS_TERMINAL_API RS_BOOL RS_CALL RS_TranslateToANSI(int32_t key, const RS_POSITION* position,
                                                   char* text) {
    return Translate(kAnsiKeys, key, position, text);
}

RS_TERMINAL_API RS_BOOL RS_CALL RS_VT52Init(int32_t port, RS_VT52RECORD* record) {
    if (!record || !PortUsable(port)) return 0;
    g_vt52[Slot(port)] = record;
    ClearText(record->parameters);
    record->state = RS_STATE_NORMAL;
    return record->callback ? 1 : 0;
}

RS_TERMINAL_API RS_BOOL RS_CALL RS_VT52Read(int32_t port, char* character) {
    if (!character) return 0;
    RS_VT52RECORD* r = Registered(g_vt52, port);
    if (!r) return 0;
    unsigned char c;
    while (r->callback && TakeByte(port, &c)) {
        *character = static_cast<char>(c);
        if (Vt52Byte(port, r, r->callback, c) == Step::Ordinary) return 1;
    }
    return 0;
}

RS_TERMINAL_API RS_BOOL RS_CALL RS_TranslateToVT52(int32_t key, const RS_POSITION* position,
                                                   char* text) {
    return Translate(kVt52Keys, key, position, text);
}

RS_TERMINAL_API RS_BOOL RS_CALL RS_TTYInit(int32_t port, RS_TTYRECORD* record) {
    if (!record || !PortUsable(port)) return 0;
    g_tty[Slot(port)] = record;
    record->reserved = 0;
    return record->callback ? 1 : 0;
}

RS_TERMINAL_API RS_BOOL RS_CALL RS_TTYRead(int32_t port, char* character) {
    if (!character) return 0;
    RS_TTYRECORD* r = Registered(g_tty, port);
    if (!r || !r->callback) return 0;
    unsigned char c;
    if (!TakeByte(port, &c)) return 0;
    *character = static_cast<char>(c);
    return TtyByte(port, r, r->callback, c) ? 1 : 0;
}

RS_TERMINAL_API RS_BOOL RS_CALL RS_TranslateToTTY(int32_t key, char* text) {
    return Translate(kTtyKeys, key, nullptr, text);
}

}  // extern "C"
