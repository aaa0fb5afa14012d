/* KSMON: the port monitor. It records the traffic of a port opened through kestrune: every block
 * sent or received becomes a text line with direction, length and time stamp, followed by the
 * bytes in a chosen notation, appended to a text buffer per port and, when a file name is set,
 * to that trace file.
 */
#ifndef RS_KSMON_H
#define RS_KSMON_H

#include <stdint.h>

#if defined(_WIN32)
#ifndef RS_CALL
#define RS_CALL __stdcall
#endif
#if defined(RS_KSMON_BUILDING)
#define RS_KSMON_API __declspec(dllexport)
#else
#define RS_KSMON_API __declspec(dllimport)
#endif
#else
#ifndef RS_CALL
#define RS_CALL
#endif
#define RS_KSMON_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Operations of RS_MonitorData(port, operation, first, second). */
#define RS_MONITOR_STOP 0  /* -, -: result of the core library's call, 0 when not monitored */
#define RS_MONITOR_START 1 /* const char* file name or null, int32_t* mode or null */
#define RS_MONITOR_NOTHING 2
#define RS_MONITOR_READ 3   /* char* destination, int32_t* its size (in), bytes copied (out) */
#define RS_MONITOR_FILL 4   /* -, int32_t* receives the number of text bytes held */
#define RS_MONITOR_CLEAR 5  /* -, - */
#define RS_MONITOR_RESIZE 6 /* -, int32_t* new size (in), size taken (out) */

/* Notations of the data bytes. */
#define RS_MONITOR_HEX 0     /* "%02X " */
#define RS_MONITOR_DECIMAL 1 /* "%d " */
#define RS_MONITOR_RAW 2     /* the byte itself */
#define RS_MONITOR_PRINTABLE                                            \
    3 /* the character for 32..127, "<%02Xh>" otherwise (any value > 2) \
       */

#define RS_MONITOR_BUFFER 65536 /* buffer size when monitoring starts */
#define RS_MONITOR_MIN_BUFFER 8192
#define RS_MONITOR_FILE_NAME 260 /* a file name must be shorter than this */

RS_KSMON_API int32_t RS_CALL RS_MonitorData(int32_t port, int32_t operation, void* first,
                                            void* second);

#ifdef __cplusplus
}
#endif

#endif
