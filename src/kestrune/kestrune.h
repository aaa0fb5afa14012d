/* kestrune: the core serial library of the family.
 *
 * Numbered ports are opened on a tty device (termios) or as an in-memory loopback pair. Ports are
 * told apart by the low 8 bits of their number, so there are 256 of them.
 *
 * The emulation and monitor libraries reach the library's services by number only, through
 * KestruneFunction(); the table of numbers and their signatures is below. Programs that own ports
 * (the demo, the tests) also use the small direct C interface to open, write and close them.
 */
#ifndef KESTRUNE_H
#define KESTRUNE_H

#include <stdint.h>

#if defined(_WIN32)
#define KESTRUNE_CALL __stdcall
#if defined(KESTRUNE_BUILDING)
#define KESTRUNE_API __declspec(dllexport)
#else
#define KESTRUNE_API __declspec(dllimport)
#endif
#else
#define KESTRUNE_CALL
#define KESTRUNE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The version ordinal 99 reports. */
#define KESTRUNE_VERSION 1300

/* Results of KestruneOpen / KestruneOpenLoopback. */
#define KESTRUNE_OK 0
#define KESTRUNE_ERR_UNAVAILABLE 68 /* the device exists but cannot be used */
#define KESTRUNE_ERR_SETTINGS 380   /* the settings text is not understood */
#define KESTRUNE_ERR_NO_PORT 8002   /* no such device */
#define KESTRUNE_ERR_IN_USE 8005    /* port number or device already open */

/* Numbers of the services reachable through KestruneFunction(). */
#define KESTRUNE_ORD_GET_BYTE 17 /* int (int port, unsigned char* byte) */
#define KESTRUNE_ORD_PUT_BYTE 18 /* int (int port, unsigned char byte) */
#define KESTRUNE_ORD_USABLE 45   /* int (int port) */
#define KESTRUNE_ORD_TICKS 47    /* uint32_t (void) */
#define KESTRUNE_ORD_VERSION 99  /* uint16_t (void) */
#define KESTRUNE_ORD_ENTER 118   /* void (int port) */
#define KESTRUNE_ORD_LEAVE 119   /* void (int port) */
#define KESTRUNE_ORD_MONITOR 155 /* int (int port, KestruneMonitorRecord* record) */

/* Traffic callback: one call per block sent (direction non-zero) or received (direction 0). It
 * runs inside the port's exclusive section, on the thread that moved the block (the sender's
 * thread, or the port's reader thread for received tty data). It must not close the port. */
typedef void(KESTRUNE_CALL* KestruneTrafficProc)(int port, int direction, const unsigned char* data,
                                                 int length);

/* Registration record of ordinal 155, 20 bytes, packed. To install a monitor pass kind 32, handle
 * 0 and the callback; the library writes its handle into the record. Passing the record (or a
 * copy of it) again with that handle removes the monitor. */
#define KESTRUNE_MONITOR_KIND 32
#pragma pack(push, 1)
typedef struct KestruneMonitorRecord {
    uint32_t kind;
    uint32_t handle;
    uint32_t reserved;
    KestruneTrafficProc callback;
#if UINTPTR_MAX == 0xFFFFFFFFu
    uint32_t reserved2;
#endif
} KestruneMonitorRecord;
#pragma pack(pop)

typedef int(KESTRUNE_CALL* KestruneUsableProc)(int port);
typedef int(KESTRUNE_CALL* KestruneGetByteProc)(int port, unsigned char* byte);
typedef int(KESTRUNE_CALL* KestrunePutByteProc)(int port, unsigned char byte);
typedef uint32_t(KESTRUNE_CALL* KestruneTicksProc)(void);
typedef uint16_t(KESTRUNE_CALL* KestruneVersionProc)(void);
typedef void(KESTRUNE_CALL* KestruneSectionProc)(int port);
typedef int(KESTRUNE_CALL* KestruneMonitorProc)(int port, KestruneMonitorRecord* record);

/* Generic function type handed out by the lookup; cast to the signature of the number. */
typedef void(KESTRUNE_CALL* KestruneProc)(void);

/* The service with the given number, or null for a number the library does not offer. */
KESTRUNE_API KestruneProc KESTRUNE_CALL KestruneFunction(int ordinal);

/* Opens a port on a tty device with settings such as "19200,N,8,1" (baud, parity N/E/O, data
 * bits 5..8, stop bits 1 or 2); null settings mean "19200,N,8,1". */
KESTRUNE_API int KESTRUNE_CALL KestruneOpen(int port, const char* device, const char* settings);
/* Opens two ports joined to each other in memory: what one sends, the other receives. */
KESTRUNE_API int KESTRUNE_CALL KestruneOpenLoopback(int portA, int portB);
/* Closes a port (either end of a loopback pair leaves the other open but unconnected). */
KESTRUNE_API int KESTRUNE_CALL KestruneClose(int port);
/* Sends one block; returns the number of bytes sent, or -1 when the port is not open. */
KESTRUNE_API int KESTRUNE_CALL KestruneWrite(int port, const void* data, int length);
/* Takes up to size received bytes; returns how many were taken (-1 when not open). */
KESTRUNE_API int KESTRUNE_CALL KestruneRead(int port, void* buffer, int size);
/* Bytes received and not yet taken (-1 when not open). */
KESTRUNE_API int KESTRUNE_CALL KestruneInputPending(int port);

#ifdef __cplusplus
}
#endif

#endif
