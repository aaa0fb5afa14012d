/* terminal: ANSI, VT52 and TTY terminal emulation over a port of the core serial library.
 *
 * For a port that kestrune has open, the caller registers a record holding a display callback
 * (RS_ANSIInit, RS_VT52Init, RS_TTYInit) and then calls the emulation's read function over and
 * over. Each call takes received bytes from the port, turns control characters and escape
 * sequences into display-callback actions, answers the ANSI status queries on the line, and hands
 * back the next ordinary character for the caller to draw. The translate functions give the byte
 * sequence a cursor or editing key sends.
 *
 * VT52 direct cursor addressing: "ESC Y" is followed by the two standard address bytes, the
 * 0-based line plus 32 and the 0-based column plus 32; the cursor goes there. (The VT52 key
 * translation writes its own decimal form "ESC Y first;second" for key 6, which this parser does
 * not read back.)
 *
 * Records are owned by the caller and must stay valid while the port is used; the library keeps
 * a pointer per port (low 8 bits of the port number) and never frees them. Records are packed and
 * little-endian. The callback field is pointer-sized: on a 32-bit build the ANSI record is 34
 * bytes with the fields at offsets 0, 4, 24, 25, 26, 28, 30; on a 64-bit build every field after
 * the callback moves 4 bytes further (38 bytes).
 */
#ifndef RS_TERMINAL_H
#define RS_TERMINAL_H

#include <stdint.h>

#if defined(_WIN32)
#define RS_CALL __stdcall
#if defined(RS_TERMINAL_BUILDING)
#define RS_TERMINAL_API __declspec(dllexport)
#else
#define RS_TERMINAL_API __declspec(dllimport)
#endif
#else
#define RS_CALL
#define RS_TERMINAL_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint8_t RS_BOOL; /* one byte, non-zero = true */

/* Cursor position, 1-based. */
#pragma pack(push, 1)
typedef struct RS_POSITION {
    int16_t column;
    int16_t row;
} RS_POSITION;
#pragma pack(pop)

/* Display callback actions. */
#define RS_ACTION_GET_CURSOR 1    /* fill the position with the current cursor */
#define RS_ACTION_UPDATE 2        /* the position changed; update the display */
#define RS_ACTION_MOVE_CURSOR 3   /* move there; write back the position taken (clamped) */
#define RS_ACTION_ERASE_DISPLAY 4 /* value: 0 cursor to end, 1 start to cursor, 2 all */
#define RS_ACTION_ERASE_LINE 5    /* value as for the display, within the line */
#define RS_ACTION_RENDITION 6     /* ANSI: graphic rendition value; VT52: unknown escape (text) */
#define RS_ACTION_DELETE_CHARS 7  /* value: count */
#define RS_ACTION_DELETE_LINES 8  /* value: count */
#define RS_ACTION_SCROLL_DOWN 9   /* value: count */
#define RS_ACTION_SCROLL_UP 10    /* value: count */
#define RS_ACTION_INSERT_LINES 11 /* value: count */
#define RS_ACTION_INSERT_CHARS 12 /* value: count */
#define RS_ACTION_UNKNOWN 13      /* pointer: the sequence text after ESC [ */

/* callback(port, action, value, pointer): the pointer is an RS_POSITION*, a NUL-terminated text
 * (actions 6 from VT52 and 13) or null, as each action says. */
typedef void(RS_CALL* RS_DISPLAYPROC)(int32_t port, int32_t action, int32_t value, void* pointer);

/* Parser states. */
#define RS_STATE_NORMAL 1
#define RS_STATE_ESCAPE 2      /* ANSI: after ESC */
#define RS_STATE_CSI 3         /* ANSI: inside ESC [ ; VT52: after ESC */
#define RS_STATE_VT52_ROW 4    /* VT52: after ESC Y, the row byte is next */
#define RS_STATE_VT52_COLUMN 5 /* VT52: after ESC Y and the row byte */

#define RS_PARAMETER_TEXT 20

#pragma pack(push, 1)
typedef struct RS_ANSIRECORD {
    RS_DISPLAYPROC callback;
    char parameters[RS_PARAMETER_TEXT]; /* text of the sequence being read, NUL-terminated */
    uint8_t state;
    uint8_t reportAvailable; /* a cursor report "ESC [ row ; col R" arrived */
    int16_t reportColumn;
    int16_t reportRow;
    RS_POSITION saved; /* saved cursor ("ESC 7", "ESC [ s") */
} RS_ANSIRECORD;

typedef struct RS_VT52RECORD {
    RS_DISPLAYPROC callback;
    char parameters[RS_PARAMETER_TEXT]; /* first byte holds the row byte of ESC Y */
    uint8_t state;
} RS_VT52RECORD;

typedef struct RS_TTYRECORD {
    RS_DISPLAYPROC callback;
    uint8_t tabWidth;
    uint8_t crAlsoFeedsLine; /* non-zero: carriage return also moves down one row */
    uint8_t reserved;        /* cleared at registration */
} RS_TTYRECORD;
#pragma pack(pop)

/* Smallest output buffer the translate functions need. */
#define RS_TRANSLATE_TEXT 20

RS_TERMINAL_API RS_BOOL RS_CALL RS_ANSIInit(int32_t port, RS_ANSIRECORD* record);
RS_TERMINAL_API RS_BOOL RS_CALL RS_ANSIRead(int32_t port, char* character);
RS_TERMINAL_API RS_BOOL RS_CALL RS_ANSIGetXY(int32_t port, RS_POSITION* position);
RS_TERMINAL_API RS_BOOL RS_CALL RS_TranslateToANSI(int32_t key, const RS_POSITION* position,
                                                   char* text);

RS_TERMINAL_API RS_BOOL RS_CALL RS_VT52Init(int32_t port, RS_VT52RECORD* record);
RS_TERMINAL_API RS_BOOL RS_CALL RS_VT52Read(int32_t port, char* character);
RS_TERMINAL_API RS_BOOL RS_CALL RS_TranslateToVT52(int32_t key, const RS_POSITION* position,
                                                   char* text);

RS_TERMINAL_API RS_BOOL RS_CALL RS_TTYInit(int32_t port, RS_TTYRECORD* record);
RS_TERMINAL_API RS_BOOL RS_CALL RS_TTYRead(int32_t port, char* character);
RS_TERMINAL_API RS_BOOL RS_CALL RS_TranslateToTTY(int32_t key, char* text);

#ifdef __cplusplus
}
#endif

#endif
