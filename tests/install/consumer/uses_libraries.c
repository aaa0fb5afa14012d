/* A program of someone else's that uses the installed terminal and KSMON libraries: a TTY
 * terminal on one end of a kestrune loopback pair, its port traced by KSMON. Prints "ok" when
 * the text sent from the other end arrives and the monitor has traced it. */
#include <kestrune.h>
#include <ksmon.h>
#include <stdio.h>
#include <string.h>
#include <terminal.h>

static void RS_CALL Display(int32_t port, int32_t action, int32_t value, void* pointer) {
    static RS_POSITION cursor = {1, 1};
    (void)port;
    (void)value;
    if (action == RS_ACTION_GET_CURSOR) *(RS_POSITION*)pointer = cursor;
    if (action == RS_ACTION_MOVE_CURSOR) cursor = *(RS_POSITION*)pointer;
}

int main(void) {
    const int port = 7, remote = 8;
    if (KestruneOpenLoopback(port, remote) != KESTRUNE_OK) return 1;
    if (RS_MonitorData(port, RS_MONITOR_START, NULL, NULL) != 1) return 2;
    RS_TTYRECORD record;
    memset(&record, 0, sizeof record);
    record.callback = &Display;
    record.tabWidth = 8;
    if (!RS_TTYInit(port, &record)) return 3;

    if (KestruneWrite(remote, "TR58", 4) != 4) return 4;
    char shown[8] = {0};
    size_t n = 0;
    char c;
    while (KestruneInputPending(port) > 0 && n < sizeof shown - 1)
        if (RS_TTYRead(port, &c)) shown[n++] = c;
    if (strcmp(shown, "TR58") != 0) return 5;

    int32_t held = 0;
    RS_MonitorData(port, RS_MONITOR_FILL, NULL, &held);
    if (held <= 0) return 6;
    RS_MonitorData(port, RS_MONITOR_STOP, NULL, NULL);
    KestruneClose(port);
    KestruneClose(remote);
    printf("ok\n");
    return 0;
}
