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

namespace {

constexpr int kSlots = 256;

// One table of record pointers per emulation, indexed by the low 8 bits of the port number.
RS_ANSIRECORD* g_ansi[kSlots];
RS_VT52RECORD* g_vt52[kSlots];
RS_TTYRECORD* g_tty[kSlots];

int Slot(int32_t port) {
    return port & 0xFF;
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
    if (length > 2) length = 2;
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
            if (query == 5) {
                SendText(port, "\x1b[0n");
            } else if (query == 6) {
                char reply[24];
                std::snprintf(reply, sizeof reply, "\x1b[%d;%dR", pos.row, pos.column);
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
            if (c == 27) {
                ClearText(r->parameters);
                r->state = RS_STATE_ESCAPE;
                return Step::Consumed;
            }
            if (c == 10 || c == 11) {
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
            pos.row = Clamp16(static_cast<unsigned char>(r->parameters[0]) - 31);
            pos.column = Clamp16(c - 31);
            ClearText(r->parameters);
            break;
        default:
            if (c == 27) {
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
        case 7:
            Beep();
            break;
        case 8: {
            int16_t column = pos.column;
            pos.column = Clamp16(column - 1);
            cb(port, RS_ACTION_MOVE_CURSOR, 0, &pos);
            if (pos.column == column) {
                // At the left margin: wrap to the end of the previous line, if there is one.
                int16_t row = pos.row;
                pos.row = Clamp16(row - 1);
                cb(port, RS_ACTION_MOVE_CURSOR, 0, &pos);
                if (pos.row != row) {
                    pos.column = 255;
                    cb(port, RS_ACTION_MOVE_CURSOR, 0, &pos);
                }
            }
            break;
        }
        case 9:
            pos.column = Clamp16(pos.column + r->tabWidth);
            break;
        case 12:
            cb(port, RS_ACTION_ERASE_DISPLAY, 0, nullptr);
            cb(port, RS_ACTION_GET_CURSOR, 0, &pos);
            break;
        case 13:
            pos.column = 1;
            if (r->crAlsoFeedsLine) pos.row = Clamp16(pos.row + 1);
            break;
        case 10:
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

bool CopyKey(const char* sequence, char* text) {
    std::snprintf(text, RS_TRANSLATE_TEXT, "%s", sequence);
    return true;
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
    if (!text) return 0;
    text[0] = '\0';
    switch (key) {
        case 1:
            return CopyKey("\x1b[1A", text);
        case 2:
            return CopyKey("\x1b[1B", text);
        case 3:
            return CopyKey("\x1b[1C", text);
        case 4:
            return CopyKey("\x1b[1D", text);
        case 5:
            return CopyKey("\x1b[1;1H", text);
        case 6:
            if (!position) return 0;
            std::snprintf(text, RS_TRANSLATE_TEXT, "\x1b[%d;%dH", position->column, position->row);
            return 1;
        case 7:
            return CopyKey("\x1b[2J", text);
        case 8:
            return CopyKey("\x1b[K", text);
        case 9:
            return CopyKey("\x1b[6n", text);
        case 10:
            return CopyKey("\x1b[s", text);
        case 11:
            return CopyKey("\x1b[u", text);
        case 12:
            return CopyKey("\x1b[1P", text);
        case 13:
            return CopyKey("\x1b[1M", text);
        case 14:
            return CopyKey("\x1b[1T", text);
        case 15:
            return CopyKey("\x1b[1S", text);
        case 16:
            return CopyKey("\x1b[1L", text);
        case 17:
            return CopyKey("\x1b[1@", text);
        default:
            return 0;
    }
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
    if (!text) return 0;
    text[0] = '\0';
    switch (key) {
        case 1:
            return CopyKey(
                "\x1b"
                "A",
                text);
        case 2:
            return CopyKey(
                "\x1b"
                "B",
                text);
        case 3:
            return CopyKey(
                "\x1b"
                "C",
                text);
        case 4:
            return CopyKey(
                "\x1b"
                "D",
                text);
        case 5:
            return CopyKey(
                "\x1b"
                "H",
                text);
        case 6:
            if (!position) return 0;
            std::snprintf(text, RS_TRANSLATE_TEXT, "\x1bY%d;%d", position->column, position->row);
            return 1;
        case 7:
            return CopyKey(
                "\x1b"
                "H"
                "\x1b"
                "J",
                text);
        case 8:
            return CopyKey(
                "\x1b"
                "K",
                text);
        case 9:
            return CopyKey(
                "\x1b"
                "J",
                text);
        default:
            return 0;
    }
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
    static const char kKeys[] = {7, 8, 9, 10, 12, 13};
    if (!text) return 0;
    text[0] = '\0';
    if (key < 0 || key >= static_cast<int32_t>(sizeof kKeys)) return 0;
    text[0] = kKeys[key];
    text[1] = '\0';
    return 1;
}

}  // extern "C"
